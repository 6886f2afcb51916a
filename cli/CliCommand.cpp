#include "cli/CliCommand.h"

#include "base/ResourceStrings.h"

#include <QTextStream>

int CliCommand::usageError(const QString& message, QTextStream& err) const
{
    err << LoadResString(32003).arg(message) << '\n' << Usage() << '\n';
    return UsageError;
}
