// Saves, opens and validates generated projects of growing size and prints the times.
#include "AnalysisBench.h"
#include "DiagramBench.h"
#include "FindBench.h"
#include "RuntimeBench.h"
#include "SelectorBench.h"
#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"
#include "app/CcFile.h"
#include "app/HeadlessWindowHost.h"
#include "common/ScriptedPrompt.h"
#include "base/StartUpTables.h"
#include "common/SyntheticTree.h"
#include "compile/CcCompile.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"

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
    HeadlessWindowHost windows;
    const QString path = folder + QStringLiteral("/bench%1.kvp").arg(controls);
    Timing timing{controls, 0, 0, 0};
    {
        gApp = std::make_unique<CApplication>(prompt, windows);
        gApp->Init();
        SyntheticTree::fill(gApp->Model().Decisions(), controls);
        QElapsedTimer timer;
        timer.start();
        if (!gApp->Model().Document().SaveFileAs(path).done())
            qFatal("saving %s failed", qPrintable(path));
        timing.saveMs = timer.elapsed();
        gApp.reset();
    }
    gApp = std::make_unique<CApplication>(prompt, windows);
    gApp->Init();
    QElapsedTimer timer;
    timer.start();
    if (!gApp->Controller().File().FileOpen(path))
        qFatal("opening %s failed", qPrintable(path));
    timing.openMs = timer.elapsed();
    if (gApp->Model().Decisions().Count() != controls)
        qFatal("opened %d controls of %d", gApp->Model().Decisions().Count(), controls);
    {
        // Both runtimes, as for a project of file type 0: every check runs.
        CcValidation validation(gApp->Model().Decisions(), gApp->Model().Document());
        timer.restart();
        validation.Validate();
        timing.validateMs = timer.elapsed();
    }
    gApp.reset();
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
    HeadlessWindowHost windows;
    gApp = std::make_unique<CApplication>(prompt, windows);
    gApp->Init();
    SyntheticTree::fill(gApp->Model().Decisions(), controls);
    const QString path = folder + QStringLiteral("/bench%1.kvw").arg(controls);
    CompileTiming timing{controls, 0, -1};
    {
        CcCompile compiler(gApp->Model().Decisions(), gApp->Model().Document());
        compiler.setSaveLogFile(false);
        QElapsedTimer timer;
        timer.start();
        if (compiler.CompileKvwTo(path) == CcCompile::Outcome::Failed)
            qFatal("compiling %s failed", qPrintable(path));
        timing.compileMs = timer.elapsed();
    }
    gApp.reset();
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    StartUpTables::Fill();
    // "compile [N ...]": the web compile against xmllint reading its file instead.
    if (app.arguments().value(1) == QLatin1String("compile")) {
        QList<int> sizes;
        for (const QString& argument : app.arguments().mid(2))
            sizes.append(argument.toInt());
        QTextStream out(stdout);
        return runCompile(sizes, out);
    }
    // "analyze [N ...]": the path analysis instead.
    if (app.arguments().value(1) == QLatin1String("analyze")) {
        QList<int> sizes;
        for (const QString& argument : app.arguments().mid(2))
            sizes.append(argument.toInt());
        QTextStream out(stdout);
        return AnalysisBench::run(sizes, out);
    }
    // "diagram [N ...]": the diagram and rename benchmark instead.
    if (app.arguments().value(1) == QLatin1String("diagram")) {
        QList<int> sizes;
        for (const QString& argument : app.arguments().mid(2))
            sizes.append(argument.toInt());
        QTextStream out(stdout);
        return DiagramBench::run(sizes, out);
    }
    // "find [N ...]": find and replace all over the tree and a selector instead.
    if (app.arguments().value(1) == QLatin1String("find")) {
        QList<int> sizes;
        for (const QString& argument : app.arguments().mid(2))
            sizes.append(argument.toInt());
        QTextStream out(stdout);
        return FindBench::run(sizes, out);
    }
    // "runtime [PAGES ITEMS]": a run of the runtime engine instead.
    if (app.arguments().value(1) == QLatin1String("runtime")) {
        QTextStream out(stdout);
        return RuntimeBench::run(app.arguments().value(2, QStringLiteral("1000")).toInt(),
                                 app.arguments().value(3, QStringLiteral("50000")).toInt(), out);
    }
    // "selectors [ROWS ...]": the selector table benchmark instead.
    if (app.arguments().value(1) == QLatin1String("selectors")) {
        QList<int> rows;
        for (const QString& argument : app.arguments().mid(2))
            rows.append(argument.toInt());
        QTextStream out(stdout);
        return SelectorBench::run(rows, out);
    }
    QList<int> sizes;
    for (const QString& argument : app.arguments().mid(1))
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {3750, 7500, 15000, 30000};

    QTemporaryDir folder;
    QTextStream out(stdout);
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
