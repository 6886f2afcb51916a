#include "cli/TestCommand.h"

#include "app/CApplication.h"
#include "app/CModel.h"
#include "base/ResourceStrings.h"
#include "cli/ProjectSession.h"
#include "journeys/JUnitReport.h"
#include "journeys/JourneyCoverage.h"
#include "journeys/JourneyRun.h"
#include "journeys/JourneyStore.h"
#include "journeys/ProjectTree.h"
#include "model/CmDocument.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QElapsedTimer>
#include <QFileInfo>
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
constexpr int NoWebRunId = 33058;
constexpr int ProgramMessageId = 32003;

enum class Target { Desktop, Web, Both };

struct TestArguments {
    QString project;
    QString journeys;
    QString junit;
    bool coverage = false;
    Target target = Target::Desktop;
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
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--coverage")) {
            parsed.coverage = true;
        } else if (arg == QLatin1String("--junit") && hasValue && parsed.junit.isEmpty()) {
            parsed.junit = args.at(++i);
        } else if (arg == QLatin1String("--target") && hasValue && !targetGiven) {
            const std::optional<Target> target = targetNamed(args.at(++i));
            if (!target)
                return std::nullopt;
            parsed.target = *target;
            targetGiven = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
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
    if (parsed->target != Target::Desktop)
        return failed(LoadResString(NoWebRunId), err);

    QList<Journey> journeys;
    if (!parsed->journeys.isEmpty()) {
        if (const StorageResult read = JourneyStore::readFile(parsed->journeys, journeys); !read)
            return failed(read.message, err);
    }
    ProjectSession session(err);
    if (!session.Inspect(parsed->project))
        return Failure;
    const CmDocument& document = gApp->Model().Document();
    if (parsed->journeys.isEmpty()) {
        if (const StorageResult read = JourneyStore::read(document.Storage(), journeys); !read)
            return failed(read.message, err);
    }
    if (journeys.isEmpty())
        return failed(LoadResString(NoJourneysId).arg(parsed->project), err);

    CompiledTree tree;
    QString log;
    if (const StorageResult compiled = ProjectTree::compile(gApp->Model().Decisions(), document, tree, log); !compiled) {
        err << log;
        return failed(compiled.message, err);
    }

    JourneyCoverage coverage;
    QList<JUnitReport::Case> cases;
    int passed = 0;
    for (const Journey& journey : std::as_const(journeys)) {
        QElapsedTimer timer;
        timer.start();
        JUnitReport::Case run{JourneyRun::run(tree, journey, parsed->coverage ? &coverage : nullptr), 0};
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
        printCoverage(coverage, tree, out);
    if (!parsed->junit.isEmpty()) {
        const QString suite = QFileInfo(parsed->project).completeBaseName();
        if (const StorageResult written = JUnitReport::write(parsed->junit, suite, cases); !written)
            return failed(written.message, err);
    }
    return passed == journeys.size() ? Success : Failure;
}
