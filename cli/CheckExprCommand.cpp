#include "cli/CheckExprCommand.h"

#include "base/ResourceStrings.h"
#include "lang/Tokenizer.h"

#include <QTextStream>

QString CheckExprCommand::Name() const
{
    return LoadResString(32010);
}

QString CheckExprCommand::Summary() const
{
    return LoadResString(32011);
}

QString CheckExprCommand::Usage() const
{
    return LoadResString(32012);
}

int CheckExprCommand::execute(const QStringList& args, QTextStream&, QTextStream& err)
{
    if (args.size() != 1)
        return usageError(LoadResString(32013), err);
    Tokenizer tokenizer;
    tokenizer.setText(args.first());
    if (!tokenizer.CheckExpression())
        return Success;
    err << tokenizer.Message() << '\n';
    return Failure;
}
