#include "ProblemsBench.h"

#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "project/Project.h"
#include "validate/CcValidation.h"
#include "validate/LiveValidation.h"
#include "validate/TreeSnapshot.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>

#include <ctime>

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr int Edits = 200;

struct Spread {
    double median = 0;
    double worst = 0;
    double rechecked = 0;
};

Spread spreadOf(std::vector<double>& times, const std::vector<int>& rechecked)
{
    std::sort(times.begin(), times.end());
    Spread spread;
    spread.median = times.at(times.size() / 2);
    spread.worst = times.back();
    for (const int count : rechecked)
        spread.rechecked += count;
    spread.rechecked /= double(rechecked.size());
    return spread;
}

qint64 bestOf3(const std::function<void()>& work)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.elapsed());
    }
    return best;
}

// Processor time of the process (every thread) or of the calling thread.
qint64 cpuMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The least processor time of three runs: all threads, and the calling thread alone. On a
// shared machine the wall-clock time mostly shows the wait for a core.
std::pair<qint64, qint64> cpuOf3(const std::function<void()>& work)
{
    std::pair<qint64, qint64> best{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max()};
    for (int round = 0; round < 3; ++round) {
        const qint64 process = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const qint64 thread = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        work();
        best.first = std::min(best.first, cpuMs(CLOCK_PROCESS_CPUTIME_ID) - process);
        best.second = std::min(best.second, cpuMs(CLOCK_THREAD_CPUTIME_ID) - thread);
    }
    return best;
}

// Each edit appends a !GO to a control spread over the tree, then takes it back.
Spread lineEdits(CmDecisionManager& decisions, LiveValidation& live)
{
    std::vector<double> times;
    std::vector<int> rechecked;
    const int count = decisions.Count();
    for (int edit = 0; edit < Edits; ++edit) {
        CmDecisionItem* item = decisions.ItemByIndex(1 + (edit * 7919) % count);
        QStringList lines = item->OptsAndActs();
        const QStringList before = lines;
        lines.append(QStringLiteral("!GO %1").arg(decisions.ItemByIndex(1 + (edit * 104729) % count)->strID()));
        QElapsedTimer timer;
        timer.start();
        item->setOptsAndActs(lines);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        rechecked.push_back(live.LastRecheckCount());
        item->setOptsAndActs(before);
    }
    return spreadOf(times, rechecked);
}

// A rename reaches every control that names the control, under the old name or the new.
Spread renames(CmDecisionManager& decisions, LiveValidation& live)
{
    std::vector<double> times;
    std::vector<int> rechecked;
    const int count = decisions.Count();
    for (int edit = 0; edit < Edits; ++edit) {
        const CmDecisionItem* item = decisions.ItemByIndex(1 + (edit * 7919) % count);
        const QString name = item->strID();
        QElapsedTimer timer;
        timer.start();
        decisions.Rename(name, name + QStringLiteral("X"));
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        rechecked.push_back(live.LastRecheckCount());
        decisions.Rename(name + QStringLiteral("X"), name);
    }
    return spreadOf(times, rechecked);
}

// The full check on another thread, as the Designer runs it after a pause: what it costs the
// window's thread to start it (the copy of the tree) and to take its findings, and how long until
// they are taken.
struct Background {
    qint64 startMs = 0;
    double takeMs = 0;
    qint64 totalMs = 0;
};

Background backgroundCheck(Project& project)
{
    LiveValidation live(project.Decisions(), project.Document());
    Background result;
    QElapsedTimer taking;
    QObject::connect(&live, &LiveValidation::checkingChanged, &live, [&taking](bool checking) {
        if (!checking)
            taking.start();
    });
    QEventLoop loop;
    QObject::connect(&live, &LiveValidation::findingsChanged, &loop, [&] {
        if (!live.Stale() && !live.Checking() && taking.isValid()) {
            result.takeMs = double(taking.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    QElapsedTimer total;
    total.start();
    live.StartCheck();
    result.startMs = total.elapsed();
    loop.exec();
    result.totalMs = total.elapsed();
    return result;
}

} // namespace

int ProblemsBench::run(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    out << "controls\tvalidate ms\tfull check ms\tpaths ms\tfindings\tedit median ms\tedit worst ms\tcontrols rechecked"
           "\trename median ms\trename worst ms\tcontrols rechecked\tcopy ms\tbackground: start ms\ttake ms\ttotal ms"
           "\tfull check cpu ms, all threads\tthis thread\tpaths cpu ms\n";
    for (const int size : sizes) {
        ScriptedPrompt prompt;
        Project project(prompt);
        SyntheticTree::fill(project.Decisions(), size);
        // What a compile's validation with the paths costs, for comparison.
        const qint64 validateMs = bestOf3([&] {
            CcValidation validation(project.Decisions(), project.Document());
            validation.setAnalyzePaths(true);
            validation.Validate();
        });
        LiveValidation live(project.Decisions(), project.Document());
        const qint64 fullMs = bestOf3([&] { live.Check(); });
        const qint64 pathsMs = bestOf3([&] { live.CheckPaths(); });
        const std::pair<qint64, qint64> fullCpu = cpuOf3([&] { live.Check(); });
        const std::pair<qint64, qint64> pathsCpu = cpuOf3([&] { live.CheckPaths(); });
        const Spread edits = lineEdits(project.Decisions(), live);
        const Spread renamed = renames(project.Decisions(), live);
        const qint64 copyMs = bestOf3([&] {
            const TreeSnapshot copy(project.Decisions(), project.Document(), TreeSnapshot::Content::Everything);
        });
        const Background background = backgroundCheck(project);
        out << size << '\t' << validateMs << '\t' << fullMs << '\t' << pathsMs << '\t' << (live.Errors() + live.Warnings()) << '\t'
            << edits.median << '\t' << edits.worst << '\t' << edits.rechecked << '\t' << renamed.median << '\t'
            << renamed.worst << '\t' << renamed.rechecked << '\t' << copyMs << '\t' << background.startMs << '\t'
            << background.takeMs << '\t' << background.totalMs << '\t' << fullCpu.first << '\t' << fullCpu.second
            << '\t' << pathsCpu.second << '\n';
        out.flush();
    }
    return 0;
}
