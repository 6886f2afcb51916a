#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/CcGettingStarted.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "views/DesignerWindowHost.h"
#include "TestModeTree.h"
#include "project/CModel.h"
#include "model/CmDocument.h"
#include "views/MainWindow.h"
#include "views/WelcomeDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressBar>
#include <QTemporaryDir>
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

    // Started with a project named, the getting-started window opens it on Return.
    void returnOpensTheProjectNamedOnTheCommandLine()
    {
        const QTemporaryDir folder;
        const QString project = folder.filePath(QStringLiteral("named.kvp"));
        {
            ScriptedPrompt prompt;
            DesignerWindowHost windows(prompt);
            QCOMPARE(MStartUp::Main(prompt, windows, QString()), MStartUp::StartResult::Running);
            QVERIFY(TestModeTree::saveTree(project));
            QVERIFY(windows.mainWindow()->close());
        }
        // A first start again: the getting-started window shows.
        TestEnvironment::clearSettings();
        ScriptedPrompt prompt;
        DesignerWindowHost windows(prompt);
        QCOMPARE(MStartUp::Main(prompt, windows, project), MStartUp::StartResult::Running);
        QVERIFY(gApp->Controller().GettingStarted().Running());
        WelcomeDialog* welcome = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<WelcomeDialog*>(window); found && found->isVisible())
                welcome = found;
        }
        QVERIFY(welcome && welcome->focusWidget());
        QTest::keyClick(welcome->focusWidget(), Qt::Key_Return);
        QCOMPARE(gApp->Model().Document().Path(), QFileInfo(project).absoluteFilePath());
        QVERIFY(windows.mainWindow()->close());
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
