#include "ProjectBench.h"

#include "BenchTimer.h"
#include "project/Project.h"
#include "model/CmDecisionManager.h"
#include "compile/NewIntIdTable.h"
#include "compile/SharedCompilePass.h"
#include "model/CmDocument.h"
#include "persist/StorageDocument.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeControl.h"
#include "runtime/RuntimeEngine.h"
#include "validate/CcValidation.h"

namespace {

// Answers each control of the page with its first option (a numeric range by its low end), so
// the run takes the branches written first.
void answerFirstOption(RuntimeEngine& engine)
{
    for (const int id : engine.page()) {
        const RuntimeControl* control = engine.control(id);
        if (!control || !control->takesAnswer() || control->options.isEmpty())
            continue;
        const QString& option = control->options.first().text;
        const std::optional<NumericRange> range = control->isNumeric() ? NumericRange::parse(option) : std::nullopt;
        (void)engine.setAnswer(id, range && range->low ? QString::number(*range->low) : option);
    }
}

} // namespace

qint64 ProjectBench::saveMs(Project& project, const QString& path)
{
    bool saved = false;
    const qint64 ms = timed([&] { saved = project.SaveAs(path).done(); });
    if (!saved)
        qFatal("saving %s failed", qPrintable(path));
    return ms;
}

qint64 ProjectBench::openMs(std::unique_ptr<Project>& project, IPrompt& prompt, const QString& path, int controls)
{
    project.reset();
    project = std::make_unique<Project>(prompt);
    project->Document().setKeepsWorkingCopy(false);
    bool opened = false;
    const qint64 ms = timed([&] { opened = project->Open(path).ok(); });
    if (!opened)
        qFatal("opening %s failed", qPrintable(path));
    if (project->Decisions().Count() != controls)
        qFatal("opened %d controls of %d", project->Decisions().Count(), controls);
    return ms;
}

qint64 ProjectBench::validateMs(const Project& project)
{
    CcValidation validation(project.Decisions(), project.Document());
    return timed([&] { validation.Validate(); });
}

qint64 ProjectBench::compileMs(const Project& project, CcCompile::Outcome (CcCompile::*compile)(const QString&), const QString& path)
{
    CcCompile compiler(project.Decisions(), project.Document());
    compiler.setSaveLogFile(false);
    CcCompile::Outcome outcome = CcCompile::Outcome::Failed;
    const qint64 ms = timed([&] { outcome = (compiler.*compile)(path); });
    if (outcome == CcCompile::Outcome::Failed)
        qFatal("compiling %s failed", qPrintable(path));
    return ms;
}

qint64 ProjectBench::desktopTreeMs(const Project& project, const QString& path)
{
    StorageResult written;
    const qint64 ms = timed([&] {
        NewIntIdTable numbers;
        numbers.build(project.Decisions());
        StorageDocument target;
        written = SharedCompilePass::BuildDesktopTree(project.Decisions(), project.Document(), numbers, target);
        if (written)
            written = target.saveAs(path);
        target.close();
    });
    if (!written)
        qFatal("writing %s failed: %s", qPrintable(path), qPrintable(written.message));
    return ms;
}

ProjectBench::TestRun ProjectBench::testRun(const QString& compiled)
{
    TestRun run;
    QString problem;
    run.ms = timed([&] {
        CompiledTree tree;
        RuntimeEngine engine;
        StorageResult loaded = CompiledTree::readFile(compiled, tree);
        if (loaded)
            loaded = engine.load(tree);
        if (!loaded || !engine.start()) {
            problem = loaded ? engine.errorText() : loaded.message;
            return;
        }
        run.pages = 1;
        while (engine.isRunning() && !engine.onDonePage()) {
            answerFirstOption(engine);
            if (!engine.next())
                break;
            ++run.pages;
        }
        run.stopped = engine.errorText();
    });
    if (run.pages == 0)
        qFatal("the test run of %s did not start: %s", qPrintable(compiled), qPrintable(problem));
    return run;
}
