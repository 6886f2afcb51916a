#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/TestRegistry.h"

#include "app/CApplication.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "views/CommandBars.h"
#include "views/DockFirstHeight.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QDockWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// Docks shown for the first time, through the main window's own commands and test mode.
class TestDockHeights : public QObject {
    Q_OBJECT

    inline static const QStringList WorkingDocks{QStringLiteral("barProperties"), QStringLiteral("barOptions"),
                                                 QStringLiteral("barThumbNail")};

    // A screen would keep the window from growing as the docks' least heights add up.
    static MainWindow& shownMainWindow(const RunningDesigner& designer)
    {
        MainWindow& main = *designer.windows.mainWindow();
        main.setFixedSize(1100, 760);
        main.show();
        return main;
    }
    // Shown tall enough, or a tab of a group that is (a click on the tab brings it up).
    static bool usable(const MainWindow& main, QDockWidget& dock)
    {
        QList<QDockWidget*> group = main.tabifiedDockWidgets(&dock);
        group.append(&dock);
        return std::any_of(group.cbegin(), group.cend(), [&main](const QDockWidget* member) {
            return DockFirstHeight::shownHeight(main, *member) >= DockFirstHeight::SqueezedBelow;
        });
    }
    static QString heightOf(const MainWindow& main, const QDockWidget& dock)
    {
        return QStringLiteral("%1 shows %2 px").arg(dock.windowTitle()).arg(DockFirstHeight::shownHeight(main, dock));
    }
    static void show(MainWindow& main, const QStringList& names)
    {
        for (const QString& name : names)
            main.findChild<QDockWidget*>(name)->show();
    }

private slots:
    void cleanup() { gApp.reset(); }

    // Each dock hidden at the start, shown on its own beside the docks an author works with.
    void eachDockFirstShownIsUsable()
    {
        RunningDesigner designer;
        MainWindow& main = shownMainWindow(designer);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        show(main, WorkingDocks);
        int checked = 0;
        for (QDockWidget* dock : main.findChildren<QDockWidget*>()) {
            if (!dock->isHidden() || main.dockWidgetArea(dock) == Qt::NoDockWidgetArea)
                continue;
            dock->show();
            QTRY_VERIFY2(usable(main, *dock), qPrintable(heightOf(main, *dock)));
            dock->hide();
            ++checked;
        }
        QVERIFY(checked >= 5);
    }

    // A run showing both value windows beside the docks an author works with; the selector's
    // gets its content only as the run opens.
    void testModeValueWindowsAreUsable()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        QVERIFY(TestModeTree::saveTree(folder.filePath(QStringLiteral("run.kvp"))));
        MainWindow& main = shownMainWindow(designer);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        show(main, WorkingDocks);
        TestModeOptions& options = gApp->View().Settings().TestMode;
        options.ShowTestModeDlg = false;
        options.StartFromFirst = true;
        options.ShowDecisionValues = true;
        options.ShowCLValues = true;
        const CommandBars& bars = main.commandBars();
        bars.action(+ToolId::Run)->trigger();
        for (const char* name : {"barDecisionValues", "barCLValues"}) {
            auto* dock = main.findChild<QDockWidget*>(QLatin1String(name));
            QVERIFY(dock && !dock->isHidden());
            QTRY_VERIFY2(usable(main, *dock), qPrintable(heightOf(main, *dock)));
        }
        bars.action(+ToolId::Stop)->trigger();
    }
};

KV_REGISTER_TEST(TestDockHeights)
#include "tst_DockHeights.moc"
