#include "cli/TestCommand.h"

#include "project/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/DatabaseOptions.h"
#include "cli/ProjectSession.h"
#include "compile/CcCompile.h"
#include "validate/CcValidation.h"
#include "journeys/JUnitReport.h"
#include "journeys/JourneyCoverage.h"
#include "journeys/JourneyRun.h"
#include "journeys/JourneyStore.h"
#include "journeys/ProjectTree.h"
#include "model/CmDocument.h"
#include "selectors/SelectorStore.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

namespace {
constexpr int PassId = 33040;
constexpr int FailId = 33041;
constexpr int SummaryLineId = 33042;
constexpr int CoverageId = 33043;
constexpr int NothingMissedId = 33050;
constexpr int NameId = 33051;
constexpr int SummaryId = 33052;
constexpr int UsageId = 33053;
constexpr int WrongArgumentsId = 33054;
constexpr int NoJourneysId = 33055;
constexpr int EmptyReportId = 36130;
constexpr int NotCompiledId = 32556;
constexpr int ProgramMessageId = 32003;
constexpr int WebOnlyId = 37043;

enum class Target { Desktop, Web, Both };

struct TestArguments {
    QString project;
    QString journeys;
    QString junit;
    bool coverage = false;
    Target target = Target::Desktop;
    DatabaseOptions database;
};

std::optional<Target> targetNamed(const QString& name)
{
    if (name == QLatin1String("desktop"))
        return Target::Desktop;
    if (name == QLatin1String("web"))
        return Target::Web;
    if (name == QLatin1String("both"))
        return Target::Both;
    return std::nullopt;
}

std::optional<TestArguments> parseArguments(const QStringList& args)
{
    TestArguments parsed;
    bool targetGiven = false;
    bool junitGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (const std::optional<bool> taken = parsed.database.take(args, i, false)) {
            if (!*taken)
                return std::nullopt;
        } else if (arg == QLatin1String("--coverage")) {
            parsed.coverage = true;
        } else if (arg == QLatin1String("--junit") && hasValue && !junitGiven) {
            parsed.junit = args.at(++i);
            junitGiven = true;
            if (parsed.junit.isEmpty())
                return std::nullopt;
        } else if (arg == QLatin1String("--target") && hasValue && !targetGiven) {
            const std::optional<Target> target = targetNamed(args.at(++i));
            if (!target)
                return std::nullopt;
            parsed.target = *target;
            targetGiven = true;
        } else if (arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) {
            return std::nullopt;
        } else if (parsed.project.isEmpty()) {
            parsed.project = arg;
        } else if (parsed.journeys.isEmpty()) {
            parsed.journeys = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.project.isEmpty())
        return std::nullopt;
    return parsed;
}

// The trees a target runs. The desktop tree alone is compiled in memory; with the web tree both
// are compiled into files and read back as their runtimes read them.
struct Trees {
    CompiledTree desktop;
    CompiledTree web;
};

// Compiles the project into the file and reads it back; false with the reason on err.
bool compileInto(ProjectSession& session, const QString& path, bool web, CompiledTree& tree, QTextStream& err)
{
    CcCompile compiler(session.Decisions(), session.Document());
    compiler.setSaveLogFile(false);
    const CcCompile::Outcome outcome = web ? compiler.CompileKvwTo(path) : compiler.CompileKvdTo(path);
    if (outcome == CcCompile::Outcome::Failed || outcome == CcCompile::Outcome::Errors) {
        err << compiler.Validation().Log();
        err << LoadResString(ProgramMessageId)
                   .arg(LoadResString(NotCompiledId).arg(session.Document().Name(), compiler.FailureText()))
            << '\n';
        return false;
    }
    const StorageResult read = web ? CompiledTree::readWebFile(path, tree) : CompiledTree::readFile(path, tree);
    if (!read)
        err << LoadResString(ProgramMessageId).arg(read.message) << '\n';
    return read.ok();
}

bool compileTrees(ProjectSession& session, Target target, Trees& trees, QTextStream& err)
{
    if (target == Target::Desktop) {
        QString log;
        const StorageResult compiled =
            ProjectTree::compile(session.Decisions(), session.Document(), trees.desktop, log);
        if (!compiled)
            err << log << LoadResString(ProgramMessageId).arg(compiled.message) << '\n';
        return compiled.ok();
    }
    const QTemporaryDir folder;
    const QString name = session.Document().Name();
    if (!compileInto(session, QDir(folder.path()).filePath(name + QLatin1String(".kvw")), true, trees.web, err))
        return false;
    return target == Target::Web
           || compileInto(session, QDir(folder.path()).filePath(name + QLatin1String(".kvd")), false, trees.desktop, err);
}

// One journey on the target's trees; on both, a run of the web tree that parts from the desktop
// run fails the journey with the first way they differ.
JourneyResult runJourney(Target target, const Trees& trees, const Journey& journey, JourneyCoverage* coverage)
{
    if (target == Target::Web)
        return JourneyRun::run(trees.web, journey, coverage);
    JourneyResult desktop = JourneyRun::run(trees.desktop, journey, coverage);
    if (target == Target::Desktop)
        return desktop;
    const JourneyResult web = JourneyRun::run(trees.web, journey);
    const QString differ = JourneyRun::firstDifference(desktop.observed, web.observed);
    if (desktop.passed && !differ.isEmpty()) {
        desktop.passed = false;
        desktop.difference = differ;
        desktop.transcript += web.transcript;
    }
    return desktop;
}

int failed(const QString& message, QTextStream& err)
{
    err << LoadResString(ProgramMessageId).arg(message) << '\n';
    return CliCommand::Failure;
}

void printCoverage(const JourneyCoverage& coverage, const CompiledTree& tree, QTextStream& out)
{
    RuntimeEngine engine;
    if (!engine.load(tree))
        return;
    out << LoadResString(CoverageId).arg(coverage.runs()) << '\n';
    const QStringList gaps = coverage.gaps(engine);
    for (const QString& line : gaps)
        out << line << '\n';
    if (gaps.isEmpty())
        out << LoadResString(NothingMissedId) << '\n';
}

// The JUnit report, never over a file the run read.
StorageResult writeReport(const TestArguments& parsed, const CmDocument& document, const QList<JUnitReport::Case>& cases)
{
    const QString suite = QFileInfo(parsed.project).completeBaseName();
    QStringList inputs = document.OpenFiles();
    if (!parsed.journeys.isEmpty())
        inputs.append(parsed.journeys);
    return JUnitReport::write(parsed.junit, suite, cases, inputs);
}

} // namespace

QString TestCommand::Name() const
{
    return LoadResString(NameId);
}

QString TestCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString TestCommand::Usage() const
{
    return LoadResString(UsageId);
}

int TestCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<TestArguments> parsed = parseArguments(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);

    QList<Journey> journeys;
    if (!parsed->journeys.isEmpty()) {
        if (const StorageResult read = JourneyStore::readFile(parsed->journeys, journeys); !read)
            return failed(read.message, err);
    }
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    const CmDocument& document = session.Document();
    if (parsed->journeys.isEmpty()) {
        if (const StorageResult read = JourneyStore::read(document.Storage(), journeys); !read)
            return failed(read.message, err);
    }
    if (journeys.isEmpty()) {
        // A CI step that reads the report still gets one: a suite without cases.
        if (!parsed->junit.isEmpty()) {
            if (const StorageResult written = writeReport(*parsed, document, {}); !written)
                return failed(written.message, err);
            err << LoadResString(ProgramMessageId).arg(LoadResString(EmptyReportId).arg(parsed->junit)) << '\n';
        }
        return failed(LoadResString(NoJourneysId).arg(parsed->project), err);
    }

    Trees trees;
    if (!compileTrees(session, parsed->target, trees, err))
        return Failure;
    // External selectors live in the web runtime only: the web tree runs on their tables.
    if (const QStringList external = SelectorStore(session.Document().Storage()).ExternalNames(); !external.isEmpty()) {
        if (parsed->target != Target::Web)
            return failed(LoadResString(WebOnlyId).arg(external.join(QLatin1String(", "))), err);
        QList<ExternalSelectorSettings> settings;
        QList<CompiledTree::Table> tables;
        if (!parsed->database.readTables(session.Document().Storage(), parsed->project, settings, tables, err))
            return Failure;
        trees.web.tables += tables;
    }

    JourneyCoverage coverage;
    QList<JUnitReport::Case> cases;
    int passed = 0;
    for (const Journey& journey : std::as_const(journeys)) {
        QElapsedTimer timer;
        timer.start();
        JUnitReport::Case run{runJourney(parsed->target, trees, journey, parsed->coverage ? &coverage : nullptr), 0};
        run.seconds = double(timer.nsecsElapsed()) / 1e9;
        if (run.result.passed) {
            ++passed;
            out << LoadResString(PassId).arg(journey.name) << '\n';
        } else {
            out << LoadResString(FailId).arg(journey.name, run.result.difference) << '\n';
        }
        cases.append(std::move(run));
    }
    out << LoadResString(SummaryLineId).arg(passed).arg(journeys.size()) << '\n';
    if (parsed->coverage)
        printCoverage(coverage, parsed->target == Target::Web ? trees.web : trees.desktop, out);
    if (!parsed->junit.isEmpty()) {
        if (const StorageResult written = writeReport(*parsed, document, cases); !written)
            return failed(written.message, err);
    }
    return passed == journeys.size() ? Success : Failure;
}
