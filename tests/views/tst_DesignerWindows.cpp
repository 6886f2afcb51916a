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
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

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

    // The instance is the account's on this display with this home: without $USER it is still
    // the account's own, and another display or home has one of its own.
    void oneInstancePerUserAndDisplay()
    {
        const QByteArray chosen = qgetenv("KESTROVA_INSTANCE_NAME");
        const QByteArray display = qgetenv("DISPLAY");
        const QByteArray home = qgetenv("HOME");
        const QByteArray user = qgetenv("USER");
        qunsetenv("KESTROVA_INSTANCE_NAME");
        const auto name = [](const char* variable, const QByteArray& value) {
            const QByteArray kept = qgetenv(variable);
            value.isNull() ? qunsetenv(variable) : qputenv(variable, value);
            const QString made = DesignerWindowHost::InstanceServerName();
            kept.isNull() ? qunsetenv(variable) : qputenv(variable, kept);
            return made;
        };
        const QString here = DesignerWindowHost::InstanceServerName();
        QVERIFY2(here.contains(QStringLiteral("-%1-").arg(::getuid())), qPrintable(here));
        QCOMPARE(name("USER", QByteArray()), here);
        QCOMPARE(name("USER", "someone"), here);
        QVERIFY(name("DISPLAY", display + "7") != here);
        QVERIFY(name("HOME", QDir::tempPath().toUtf8()) != here);
        qputenv("KESTROVA_INSTANCE_NAME", chosen);
        QCOMPARE(qgetenv("DISPLAY"), display);
        QCOMPARE(qgetenv("HOME"), home);
        QCOMPARE(qgetenv("USER"), user);
    }
};

KV_REGISTER_TEST(TestDesignerWindows)
#include "tst_DesignerWindows.moc"
