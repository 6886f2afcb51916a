#include "cli/DiffCommand.h"

#include "base/ResourceStrings.h"
#include "cli/TextCommand.h"
#include "vcs/ProjectData.h"
#include "vcs/ProjectDiff.h"

#include <QTextStream>

namespace {
constexpr int NameId = 34310;
constexpr int SummaryId = 34311;
constexpr int UsageId = 34312;
constexpr int WrongArgumentsId = 34313;
constexpr int UnknownOptionId = 32313;
// The arguments git gives a diff command.
constexpr qsizetype GitArgumentCount = 7;
} // namespace

QString DiffCommand::Name() const
{
    return LoadResString(NameId);
}

QString DiffCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString DiffCommand::Usage() const
{
    return LoadResString(UsageId);
}

int DiffCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool fromGit = args.size() == GitArgumentCount;
    if (args.size() != 2 && !fromGit)
        return usageError(LoadResString(WrongArgumentsId), err);
    // diff has no options: one given by mistake is no project to read.
    for (qsizetype i = 0; !fromGit && i < args.size(); ++i) {
        if (args.at(i).size() > 1 && args.at(i).startsWith(QLatin1Char('-')))
            return usageError(LoadResString(UnknownOptionId).arg(args.at(i)), err);
    }
    const QString& oldPath = fromGit ? args.at(1) : args.at(0);
    const QString& newPath = fromGit ? args.at(4) : args.at(1);
    ProjectData before;
    ProjectData after;
    if (!TextCommand::ReadProjectOrNothing(oldPath, before, err) || !TextCommand::ReadProjectOrNothing(newPath, after, err))
        return Failure;
    const QString changes = ProjectDiff::Describe(before, after);
    if (fromGit) {
        // git stops at a diff command that does not exit 0; its own header names the file.
        if (!changes.isEmpty())
            out << "diff --kestrova a/" << args.first() << " b/" << args.first() << '\n' << changes;
        return Success;
    }
    out << changes;
    return changes.isEmpty() ? Success : Failure;
}
