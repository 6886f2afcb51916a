#include "cli/MergeCommand.h"

#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "cli/TextCommand.h"
#include "persist/FileBytes.h"
#include "project/Project.h"
#include "validate/ValidationFindings.h"
#include "vcs/MergeValidation.h"
#include "vcs/ProjectApply.h"
#include "vcs/ProjectMerge.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int NameId = 34320;
constexpr int SummaryId = 34321;
constexpr int UsageId = 34322;
constexpr int WrongArgumentsId = 34323;
constexpr int ConflictId = 34324;
constexpr int CausedId = 34325;
constexpr int ConflictMessageId = 34326;
constexpr int BothValuesId = 34327;
constexpr int CausedMessageId = 34328;
constexpr int ConflictCountId = 34329;
constexpr int NotWrittenId = 34340;

struct Arguments {
    QStringList projects;
    QString output;
    QString name;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        QString* option = arg == QLatin1String("-o") ? &parsed.output : arg == QLatin1String("--path") ? &parsed.name : nullptr;
        if (option) {
            // An empty name would silently mean none: the merge would go into ours.
            if (i + 1 == args.size() || !option->isEmpty() || args.at(i + 1).isEmpty())
                return std::nullopt;
            *option = args.at(++i);
        } else {
            parsed.projects.append(arg);
        }
    }
    if (parsed.projects.size() != 3)
        return std::nullopt;
    return parsed;
}

// The log beside the project, as the validation log is named: the project's name with "log".
QString logPath(const QString& project)
{
    const QFileInfo info(project);
    return QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral(".log"));
}

ValidationFindings mergeLog(const MergeOutcome& outcome, const QList<ValidationFindings::Entry>& caused)
{
    ValidationFindings log;
    for (const MergeConflict& conflict : outcome.conflicts)
        log.AppendToLog(true, LoadResString(ConflictMessageId), conflict.place + QLatin1Char('.') + conflict.property,
                        LoadResString(BothValuesId).arg(conflict.ours, conflict.theirs));
    for (const ValidationFindings::Entry& entry : caused)
        log.AppendToLog(true, entry.message + QLatin1Char(' ') + LoadResString(CausedMessageId), entry.location, entry.extra);
    return log;
}

} // namespace

QString MergeCommand::Name() const
{
    return LoadResString(NameId);
}

QString MergeCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString MergeCommand::Usage() const
{
    return LoadResString(UsageId);
}

int MergeCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    const QString& basePath = parsed->projects.at(0);
    const QString& oursPath = parsed->projects.at(1);
    const QString& theirsPath = parsed->projects.at(2);
    ProjectData base;
    ProjectData ours;
    ProjectData theirs;
    if (!TextCommand::ReadProjectOrNothing(basePath, base, err) || !TextCommand::ReadProject(oursPath, ours, err)
        || !TextCommand::ReadProject(theirsPath, theirs, err))
        return Failure;
    const MergeOutcome outcome = ProjectMerge::Merge(base, ours, theirs);
    const QList<ValidationFindings::Entry> caused = MergeValidation::CausedErrors(ours, theirs, outcome.merged);

    const bool inPlace = parsed->output.isEmpty()
        || QFileInfo(parsed->output).absoluteFilePath() == QFileInfo(oursPath).absoluteFilePath();
    {
        ProjectSession session(err);
        if (!session.Open(oursPath))
            return Failure;
        if (const StorageResult written =
                ProjectApply::Write(outcome.merged, session.Decisions(), session.Document(), session.Canvas());
            !written) {
            err << LoadResString(NotWrittenId).arg(inPlace ? oursPath : parsed->output, written.message) << '\n';
            return Failure;
        }
        session.OpenProject().LoadExplorer();
        const bool saved = inPlace ? session.Save() : session.SaveAs(parsed->output, {basePath, oursPath, theirsPath});
        if (!saved)
            return Failure;
    }

    for (const MergeConflict& conflict : outcome.conflicts)
        err << LoadResString(ConflictId).arg(conflict.text()) << '\n';
    for (const ValidationFindings::Entry& entry : caused)
        err << LoadResString(CausedId).arg(entry.message, entry.location) << '\n';
    const ValidationFindings log = mergeLog(outcome, caused);
    if (!log.entries().isEmpty()) {
        const QString path =
            logPath(!parsed->name.isEmpty() ? parsed->name : inPlace ? oursPath : parsed->output);
        FileBytes::WriteOptions options;
        options.name = FileBytes::Name::Own;
        if (const StorageResult written = FileBytes::write(path, log.text().toUtf8(), options); !written)
            err << LoadResString(NotWrittenId).arg(path, written.message) << '\n';
        else if (!outcome.conflicts.isEmpty())
            out << LoadResString(ConflictCountId).arg(outcome.conflicts.size()).arg(path) << '\n';
    }
    return outcome.conflicts.isEmpty() ? Success : Failure;
}
