#include "cli/RunCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/DatabaseOptions.h"
#include "cli/ProjectSession.h"
#include "compile/SharedCompilePass.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int NameId = 32550;
constexpr int SummaryId = 32551;
constexpr int UsageId = 32552;
constexpr int WrongArgumentsId = 32553;
constexpr int TreeUnreadableId = 32555;
constexpr int CompileFailedId = 32556;

struct RunArguments {
    QString tree;
    QString start;
    QString answers;
    bool explain = false;
    DatabaseOptions database;
};

std::optional<RunArguments> parseArguments(const QStringList& args)
{
    RunArguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (const std::optional<bool> taken = parsed.database.take(args, i, false)) {
            if (!*taken)
                return std::nullopt;
        } else if (arg == QLatin1String("--explain"))
            parsed.explain = true;
        else if (arg == QLatin1String("--start") && hasValue && parsed.start.isEmpty())
            parsed.start = args.at(++i);
        else if (arg == QLatin1String("--answers") && hasValue && parsed.answers.isEmpty())
            parsed.answers = args.at(++i);
        else if (!arg.startsWith(QLatin1String("--")) && parsed.tree.isEmpty())
            parsed.tree = arg;
        else
            return std::nullopt;
    }
    if (parsed.tree.isEmpty() || parsed.answers.isEmpty())
        return std::nullopt;
    return parsed;
}

} // namespace

QString RunCommand::Name() const
{
    return LoadResString(NameId);
}

QString RunCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString RunCommand::Usage() const
{
    return LoadResString(UsageId);
}

bool RunCommand::readTree(const QString& path, const DatabaseOptions& database, CompiledTree& tree, QTextStream& err)
{
    if (const StorageResult readable = FileBytes::checkInput(path); !readable) {
        err << readable.message << '\n';
        return false;
    }
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("kvp"), Qt::CaseInsensitive) != 0) {
        const bool web = suffix.compare(QLatin1String("kvw"), Qt::CaseInsensitive) == 0;
        const StorageResult read = web ? CompiledTree::readWebFile(path, tree) : CompiledTree::readFile(path, tree);
        if (!read) {
            err << LoadResString(TreeUnreadableId).arg(path, read.message) << '\n';
            return false;
        }
        // A web tree file holds no external selector: their settings come from a project. The
        // desktop runtime has none.
        QList<ExternalSelectorSettings> settings;
        QList<CompiledTree::Table> external;
        if (web && !database.readSettingsProject(settings, external, err))
            return false;
        tree.tables += external;
        return true;
    }
    ProjectSession session(err);
    if (!session.Inspect(path))
        return false;
    const SharedCompilePass::CompiledTree compiled =
        SharedCompilePass::CompileInMemory(session.Decisions(), session.Document());
    if (!compiled.document) {
        err << compiled.log;
        err << LoadResString(CompileFailedId).arg(path, compiled.written.message) << '\n';
        return false;
    }
    const StorageResult read = CompiledTree::read(*compiled.document, tree);
    if (!read) {
        err << LoadResString(TreeUnreadableId).arg(path, read.message) << '\n';
        return false;
    }
    QList<ExternalSelectorSettings> settings;
    QList<CompiledTree::Table> external;
    if (!database.readTables(session.Document().Storage(), path, settings, external, err))
        return false;
    tree.tables += external;
    return true;
}

int RunCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<RunArguments> parsed = parseArguments(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);

    QString answerText;
    if (const StorageResult read = FileBytes::readText(parsed->answers, answerText, FileBytes::Input::Answers); !read) {
        err << read.message << '\n';
        return Failure;
    }
    AnswerList answers;
    if (const std::optional<QString> problem = answers.parse(answerText)) {
        err << *problem << '\n';
        return Failure;
    }

    CompiledTree tree;
    if (!readTree(parsed->tree, parsed->database, tree, err))
        return Failure;
    RuntimeEngine engine;
    if (const StorageResult loaded = engine.load(tree); !loaded) {
        err << LoadResString(TreeUnreadableId).arg(parsed->tree, loaded.message) << '\n';
        return Failure;
    }
    AnsweredRun run(engine, answers);
    const AnsweredRun::Outcome outcome = run.run(parsed->start);
    for (const QString& line : run.transcript() + run.selectorReport(parsed->explain))
        out << line << '\n';
    if (const QStringList left = answers.leftOver(); !left.isEmpty())
        out << LoadResString(32547).arg(left.join(QLatin1String(", "))) << '\n';
    return outcome == AnsweredRun::Outcome::Stopped ? Failure : Success;
}
