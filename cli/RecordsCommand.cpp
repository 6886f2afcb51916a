#include "cli/RecordsCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "model/RulesText.h"

#include <QTextStream>

namespace {
constexpr int NameId = 30460;
constexpr int SummaryId = 30461;
constexpr int UsageId = 30462;
constexpr int WrongArgumentsId = 30463;
} // namespace

QString RecordsCommand::Name() const
{
    return LoadResString(NameId);
}

QString RecordsCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString RecordsCommand::Usage() const
{
    return LoadResString(UsageId);
}

int RecordsCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usageError(LoadResString(WrongArgumentsId), err);
    ProjectSession session(err);
    if (!session.Inspect(args.first()))
        return Failure;
    for (const QString& record : RulesText::Records(session.Decisions()))
        out << record << '\n';
    return Success;
}
