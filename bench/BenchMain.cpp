// Times whole-tree operations on generated projects; the first argument picks which.
#include "AllBench.h"
#include "AnalysisBench.h"
#include "DiagramBench.h"
#include "FindBench.h"
#include "ProblemsBench.h"
#include "ProjectBench.h"
#include "RuntimeBench.h"
#include "SelectorBench.h"
#include "project/Project.h"
#include "project/CModel.h"
#include "common/ScriptedPrompt.h"
#include "base/StartUpTables.h"
#include "common/SyntheticTree.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

struct Timing {
    int controls;
    qint64 saveMs;
    qint64 openMs;
    qint64 validateMs;
};

Timing measure(int controls, const QString& folder)
{
    ScriptedPrompt prompt;
    const QString path = folder + QStringLiteral("/bench%1.kvp").arg(controls);
    Timing timing{controls, 0, 0, 0};
    auto project = std::make_unique<Project>(prompt);
    project->Document().setKeepsWorkingCopy(false);
    SyntheticTree::fill(project->Decisions(), controls);
    timing.saveMs = ProjectBench::saveMs(*project, path);
    timing.openMs = ProjectBench::openMs(project, prompt, path, controls);
    timing.validateMs = ProjectBench::validateMs(*project);
    project.reset();
    return timing;
}

struct CompileTiming {
    int controls;
    qint64 compileMs;
    qint64 xmllintMs;
};

// The web compile, validation included, against xmllint reading the file it wrote.
CompileTiming measureCompile(int controls, const QString& folder)
{
    ScriptedPrompt prompt;
    auto project = std::make_unique<Project>(prompt);
    project->Document().setKeepsWorkingCopy(false);
    SyntheticTree::fill(project->Decisions(), controls);
    const QString path = folder + QStringLiteral("/bench%1.kvw").arg(controls);
    CompileTiming timing{controls, 0, -1};
    timing.compileMs = ProjectBench::compileMs(*project, &CcCompile::CompileKvwTo, path);
    project.reset();
    QElapsedTimer timer;
    timer.start();
    if (QProcess::execute(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path}) == 0)
        timing.xmllintMs = timer.elapsed();
    return timing;
}

int runCompile(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {15000, 30000};
    QTemporaryDir folder;
    out << "controls\tkvw compile ms\txmllint ms\tcompile/xmllint\tcompile ratio\n";
    QList<CompileTiming> timings;
    for (const int size : sizes) {
        timings.append(measureCompile(size, folder.path()));
        const CompileTiming& timing = timings.last();
        out << timing.controls << '\t' << timing.compileMs << '\t' << timing.xmllintMs << '\t'
            << double(timing.compileMs) / qMax<qint64>(1, timing.xmllintMs);
        if (timings.size() > 1 && timings.at(timings.size() - 2).controls * 2 == timing.controls)
            out << '\t' << double(timing.compileMs) / qMax<qint64>(1, timings.at(timings.size() - 2).compileMs);
        out << '\n';
        out.flush();
    }
    return 0;
}

int runSaveOpen(QList<int> sizes, QTextStream& out)
{
    if (sizes.isEmpty())
        sizes = {3750, 7500, 15000, 30000};
    QTemporaryDir folder;
    out << "controls\tsave ms\topen ms\tvalidate ms\tsave ratio\topen ratio\tvalidate ratio\n";
    const Timing* previous = nullptr;
    QList<Timing> timings;
    timings.reserve(sizes.size());
    for (const int size : sizes) {
        timings.append(measure(size, folder.path()));
        const Timing& timing = timings.last();
        out << timing.controls << '\t' << timing.saveMs << '\t' << timing.openMs << '\t' << timing.validateMs;
        if (previous && previous->controls * 2 == timing.controls)
            out << '\t' << double(timing.saveMs) / qMax<qint64>(1, previous->saveMs) << '\t'
                << double(timing.openMs) / qMax<qint64>(1, previous->openMs) << '\t'
                << double(timing.validateMs) / qMax<qint64>(1, previous->validateMs);
        out << '\n';
        out.flush();
        previous = &timing;
    }
    return 0;
}

QList<int> sizesFrom(const QStringList& arguments)
{
    QList<int> sizes;
    for (const QString& argument : arguments)
        sizes.append(argument.toInt());
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    StartUpTables::Fill();
    const QStringList arguments = app.arguments();
    const QString mode = arguments.value(1);
    const QList<int> sizes = sizesFrom(arguments.mid(2));
    QTextStream out(stdout);
    // "all [N ...]": every whole-tree operation, each size in a process of its own.
    if (mode == QLatin1String("all"))
        return AllBench::run(sizes, out);
    if (mode == AllBench::ChildOption)
        return AllBench::runChild(arguments.value(2).toInt(), out);
    // "compile [N ...]": the web compile against xmllint reading its file instead.
    if (mode == QLatin1String("compile"))
        return runCompile(sizes, out);
    // "analyze [N ...]": the path analysis instead.
    if (mode == QLatin1String("analyze"))
        return AnalysisBench::run(sizes, out);
    // "problems [N ...]": the live check, whole and after one edit, instead.
    if (mode == QLatin1String("problems"))
        return ProblemsBench::run(sizes, out);
    // "diagram [N ...]": the diagram and rename benchmark instead.
    if (mode == QLatin1String("diagram"))
        return DiagramBench::run(sizes, out);
    // "find [N ...]": find and replace all over the tree and a selector instead.
    if (mode == QLatin1String("find"))
        return FindBench::run(sizes, out);
    // "runtime [PAGES ITEMS]": a run of the runtime engine instead.
    if (mode == QLatin1String("runtime"))
        return RuntimeBench::run(arguments.value(2, QStringLiteral("1000")).toInt(),
                                 arguments.value(3, QStringLiteral("50000")).toInt(), out);
    // "selectors [ROWS ...]": the selector table benchmark instead.
    if (mode == QLatin1String("selectors"))
        return SelectorBench::run(sizes, out);
    return runSaveOpen(sizesFrom(arguments.mid(1)), out);
}
