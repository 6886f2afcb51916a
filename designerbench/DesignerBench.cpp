// Times what an author does in the Designer on a large project, through the real windows
// (offscreen): opening it, selecting a control by a click, renaming a control with every
// reference to it and undoing and redoing that, and adding and deleting a control. Each time runs
// until the windows have handled every event the action caused. Run it by hand; it is not a test.
//   kestrova-bench-designer [CONTROLS...]     (default 30000)

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CcFile.h"
#include "app/ToolId.h"
#include "common/ScriptedPrompt.h"
#include "common/SyntheticTree.h"
#include "common/TestEnvironment.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "project/Project.h"
#include "tests/views/RunningDesigner.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

// Wall-clock time, and the processor time of the Designer's thread: on a machine shared with
// other work the second shows what the action itself cost.
struct Cost {
    qint64 wallMs = 0;
    qint64 threadMs = 0;
};

struct Timing {
    int controls = 0;
    Cost open;
    Cost clickSelect;
    Cost rename;
    Cost undo;
    Cost redo;
    Cost add;
    Cost remove;
};

qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Until every event the action posted, repaints included, has been handled.
void settle()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

template <typename Action>
Cost timedUntilSettled(Action&& action)
{
    settle();
    QElapsedTimer timer;
    timer.start();
    const qint64 threadStart = threadCpuMs();
    action();
    settle();
    return {timer.elapsed(), threadCpuMs() - threadStart};
}

// The median of a few runs, so that one slow moment of the host does not decide.
template <typename Action>
Cost median(int runs, Action&& action)
{
    std::vector<qint64> wall;
    std::vector<qint64> thread;
    for (int i = 0; i < runs; ++i) {
        const Cost cost = action(i);
        wall.push_back(cost.wallMs);
        thread.push_back(cost.threadMs);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(thread.begin(), thread.end());
    return {wall[wall.size() / 2], thread[thread.size() / 2]};
}

QString writeProject(const QString& folder, int controls)
{
    ScriptedPrompt prompt;
    Project project(prompt);
    SyntheticTree::fill(project.Decisions(), controls);
    SyntheticTree::fillDocument(project.Document());
    project.LoadLayout();
    const QString path = folder + QStringLiteral("/designer-bench-%1.kvp").arg(controls);
    if (!project.SaveAs(path).done())
        qFatal("could not write the benchmark project");
    return path;
}

struct Designer : RunningDesigner {
    Designer()
    {
        main().resize(1100, 760);
        main().show();
    }

    MainWindow& main() const { return *windows.mainWindow(); }
    QAction* action(ToolId id) const { return main().commandBars().action(+id); }
    DiagramWindow* diagram() const { return main().findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree")); }
};

void clickOn(DiagramWindow& window, qint16 key)
{
    window.showControl(key);
    settle();
    const CanvasEntity* entity = gApp->OpenProject().Canvas().Entity(key);
    const QPoint at = window.mapFromScene(DiagramWindow::toScene(entity->centre));
    QTest::mouseClick(window.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

Timing measure(const QString& path, int controls)
{
    Timing timing;
    timing.controls = controls;
    Designer designer;
    timing.open = timedUntilSettled([&] {
        if (!gApp->Controller().File().FileOpen(path))
            qFatal("the Designer could not open the benchmark project");
        designer.action(ToolId::OpenDecisionTree)->trigger();
    });
    DiagramWindow* window = designer.diagram();
    if (!window)
        qFatal("no diagram window");
    CmDecisionManager& decisions = gApp->OpenProject().Decisions();
    const int count = decisions.Count();

    timing.clickSelect = median(5, [&](int run) {
        const qint16 key = decisions.ItemByIndex(1 + (run + 1) * count / 7)->intID();
        window->showControl(key);
        settle();
        return timedUntilSettled([&] { clickOn(*window, key); });
    });

    // The second control is referenced from many others, as a much-used page would be.
    const qint16 renamedKey = decisions.ItemByIndex(2)->intID();
    timing.rename = median(3, [&](int run) {
        clickOn(*window, renamedKey);
        settle();
        designer.prompt.QueueText(QStringLiteral("Renamed%1").arg(run));
        const Cost cost = timedUntilSettled([&] { QTest::keyClick(window, Qt::Key_F2); });
        if (!decisions.Item(QStringLiteral("Renamed%1").arg(run)))
            qFatal("the rename did not happen");
        return cost;
    });
    timing.undo = median(3, [&](int) { return timedUntilSettled([&] { designer.action(ToolId::Undo)->trigger(); }); });
    timing.redo = median(3, [&](int) { return timedUntilSettled([&] { designer.action(ToolId::Redo)->trigger(); }); });

    const int before = decisions.Count();
    timing.add = median(3, [&](int) {
        return timedUntilSettled([&] { designer.action(ToolId::AddNewControl)->trigger(); });
    });
    if (decisions.Count() != before + 3)
        qFatal("adding a control did not add one");
    timing.remove = median(3, [&](int run) {
        clickOn(*window, decisions.ItemByIndex(decisions.Count() - run)->intID());
        settle();
        return timedUntilSettled([&] { QTest::keyClick(window, Qt::Key_Delete); });
    });
    if (decisions.Count() != before)
        qFatal("deleting a control did not delete one");
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TestEnvironment::prepare();
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {30000};
    QTemporaryDir folder;
    QTextStream out(stdout);
    out << "Wall-clock time (the Designer thread's processor time)\n"
        << "| Controls | Open | Click-select | Rename | Undo | Redo | Add | Delete |\n"
        << "|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const int size : sizes) {
        const Timing t = measure(writeProject(folder.path(), size), size);
        out << "| " << t.controls;
        for (const Cost& cost : {t.open, t.clickSelect, t.rename, t.undo, t.redo, t.add, t.remove})
            out << " | " << cost.wallMs << " ms (" << cost.threadMs << ")";
        out << " |\n";
        out.flush();
    }
    return 0;
}
