#include "app/CApplication.h"
#include "app/CRegistry.h"
#include "app/MRegistry.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "views/DesignerWindowHost.h"
#include "views/MainWindow.h"

#include <QFile>
#include <QTest>
#include <QToolBar>

class TestWindowLayout : public QObject {
    Q_OBJECT

    // One run of the Designer with a bar the layout can hide; the bar needs a name to be kept.
    struct Run {
        ScriptedPrompt prompt;
        DesignerWindowHost windows{prompt};
        QToolBar* bar = nullptr;

        Run()
        {
            bar = windows.mainWindow()->addToolBar(QStringLiteral("Test"));
            bar->setObjectName(QStringLiteral("barTest"));
            MStartUp::Main(prompt, windows, QString());
        }
        MainWindow& main() const { return *windows.mainWindow(); }
    };

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        QFile::remove(MRegistry::SavedLayoutPath());
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
        gApp.reset();
    }
    void cleanup() { gApp.reset(); }

    void barsAndFrameComeBackNextRun_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void barsAndFrameComeBackNextRun()
    {
        QFETCH(bool, maximised);
        const QRect frame(40, 30, 620, 410);
        {
            Run first;
            first.main().setGeometry(frame);
            first.bar->hide();
            if (maximised)
                first.main().showMaximized();
            QVERIFY(first.main().close());
        }
        QCOMPARE(CRegistry::Read(QStringLiteral("View"), QStringLiteral("Width")), QString::number(frame.width()));
        Run second;
        QVERIFY(second.bar->isHidden());
        QCOMPARE(second.main().isMaximized(), maximised);
        QCOMPARE(second.main().normalGeometry(), frame);
        QVERIFY(second.main().close());
    }

    void unreachableFrameIsNotUsed()
    {
        CRegistry::Write(QStringLiteral("View"), QStringLiteral("Left"), QStringLiteral("-30000"));
        Run run;
        QVERIFY(run.main().geometry().left() > -30000);
        QVERIFY(run.main().close());
    }
};

KV_REGISTER_TEST(TestWindowLayout)
#include "tst_WindowLayout.moc"
