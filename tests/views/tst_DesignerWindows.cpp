#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/CcGettingStarted.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "views/DesignerWindowHost.h"
#include "views/MainWindow.h"

#include <QApplication>
#include <QProgressBar>
#include <QTest>

class TestDesignerWindows : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        gApp.reset();
    }
    void cleanup() { gApp.reset(); }

    void startsShowsStatusAndLeavesThroughExit()
    {
        ScriptedPrompt prompt;
        DesignerWindowHost windows(prompt);
        QCOMPARE(MStartUp::Main(prompt, windows, QString()), MStartUp::StartResult::Running);
        MainWindow& main = *windows.mainWindow();
        QVERIFY(main.isVisible());
        QCOMPARE(main.statusText(), QStringLiteral("Ready"));
        QVERIFY(!main.progressBar()->isVisible());

        gApp->View().SetProgress(150);
        QCOMPARE(main.progressBar()->value(), 100);
        QCOMPARE(main.progressBar()->text(), QStringLiteral("100%"));
        QVERIFY(main.progressBar()->isVisible());
        gApp->View().SetProgress(-1);
        QVERIFY(!main.progressBar()->isVisible());
        gApp->View().SetStatus(QStringLiteral("Saving file..."));
        QCOMPARE(main.statusText(), QStringLiteral("Saving file..."));

        // The getting-started window runs on a first start.
        QVERIFY(gApp->Controller().GettingStarted().Running());

        QVERIFY(main.close());
        QVERIFY(!gApp);
        QVERIFY(!main.isVisible());
        for (const QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->metaObject()->className()));
    }

    void secondInstanceFindsTheFirst()
    {
        ScriptedPrompt prompt;
        DesignerWindowHost first(prompt);
        QVERIFY(!first.IsAnotherInstanceRunning());
        DesignerWindowHost second(prompt);
        QVERIFY(second.IsAnotherInstanceRunning());
        QVERIFY(second.ActivateOtherInstance());
    }
};

KV_REGISTER_TEST(TestDesignerWindows)
#include "tst_DesignerWindows.moc"
