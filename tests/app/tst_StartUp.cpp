#include "app/CApplication.h"
#include "project/CvProject.h"
#include "project/Project.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CcGettingStarted.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "base/AccessKey.h"
#include "base/StartUpTables.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "base/ResourceStrings.h"
#include "base/StringId.h"
#include "tests/app/RecordingWindowHost.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestStartUp : public QObject {
    Q_OBJECT

    ScriptedPrompt m_prompt;
    RecordingWindowHost m_windows;

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        m_prompt = ScriptedPrompt();
        m_windows = RecordingWindowHost();
        gApp.reset();
    }
    void cleanup() { gApp.reset(); }

    void startsInOrder()
    {
        QCOMPARE(MStartUp::Main(m_prompt, m_windows, QString()), MStartUp::StartResult::Running);
        QVERIFY(gApp);
        QCOMPARE(m_windows.calls, (QStringList{QStringLiteral("IsAnotherInstanceRunning"),
                                               QStringLiteral("ShowSplash:") + MStartUp::SplashText(),
                                               QStringLiteral("CloseSplash"), QStringLiteral("ShowMainWindow")}));
        QCOMPARE(MStartUp::SplashText(), QStringLiteral("Morvane Corporation\nVersion %1").arg(KV_VERSION_STRING));
        QVERIFY(m_prompt.shown().isEmpty());
        QCOMPARE(gApp->View().StatusText(), QStringLiteral("Ready"));
        QVERIFY(!gApp->View().ProgressVisible());
    }

    void startUpTablesComeFromTheStringTable()
    {
        QCOMPARE(StartUpTables::Keywords().size(), 15);
        QCOMPARE(StartUpTables::Keywords().first(), QStringLiteral("CALL"));
        QCOMPARE(StartUpTables::Keywords().last(), QStringLiteral("SUBMIT"));
        const QStringList names = StartUpTables::InterfaceNames();
        QCOMPARE(names.size(), 16);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(names, sorted);
        QCOMPARE(names.at(3), QStringLiteral("dCombo"));
    }

    // A named id that the table lacks would show the user an empty text.
    void namedStringIdsHaveTexts()
    {
        for (const int id : StringId::All)
            QVERIFY2(!LoadResString(id).isEmpty(), qPrintable(QString::number(id)));
    }

    // Each subsystem keeps its own table; an id given twice would show one of two texts at random.
    void noStringIdIsGivenTwice()
    {
        const QStringList paths = ResourceStrings::tablePaths();
        QVERIFY(paths.size() >= 1);
        QHash<int, QString> owner;
        for (const QString& path : paths) {
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QHash<int, QString> texts = ResourceStrings::parse(QString::fromUtf8(file.readAll()));
            for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
                QVERIFY2(!owner.contains(it.key()),
                         qPrintable(QStringLiteral("%1 in %2 and %3").arg(it.key()).arg(owner.value(it.key()), path)));
                owner.insert(it.key(), path);
            }
        }
    }

    void captionsReadWithoutTheirAccessKeys_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("plain");
        QTest::newRow("key first") << "&Medium" << "Medium";
        QTest::newRow("key inside") << "Or&thogonal" << "Orthogonal";
        QTest::newRow("doubled is an ampersand") << "Save && &Close" << "Save & Close";
        QTest::newRow("trailing mark") << "Odd&" << "Odd";
        QTest::newRow("none") << "Plain" << "Plain";
    }

    void captionsReadWithoutTheirAccessKeys()
    {
        QFETCH(QString, caption);
        QFETCH(QString, plain);
        QCOMPARE(WithoutAccessKey(caption), plain);
    }

    void secondInstanceIsRefused_data()
    {
        QTest::addColumn<bool>("firstAnswers");
        QTest::addColumn<MStartUp::StartResult>("expected");
        QTest::newRow("first instance found") << true << MStartUp::StartResult::EndedAsSecondInstance;
        QTest::newRow("first instance gone") << false << MStartUp::StartResult::Running;
    }
    void secondInstanceIsRefused()
    {
        QFETCH(bool, firstAnswers);
        QFETCH(MStartUp::StartResult, expected);
        m_windows.otherInstanceRunning = true;
        m_windows.otherInstanceAnswers = firstAnswers;
        QCOMPARE(MStartUp::Main(m_prompt, m_windows, QString()), expected);
        QCOMPARE(m_prompt.shown().size(), 1);
        const ScriptedPrompt::Shown& message = m_prompt.shown().first();
        QCOMPARE(message.title, QStringLiteral("Second Instance of Kestrova Designer"));
        QCOMPARE(message.text, QStringLiteral("You can only have one instance of Kestrova Designer running at a time! "
                                              "The second instance will be closed."));
        QCOMPARE(message.icon, PromptIcon::Critical);
        QCOMPARE(m_windows.calls.at(1), QStringLiteral("ActivateOtherInstance"));
        QCOMPARE(bool(gApp), !firstAnswers);
    }

    void gettingStartedRunsUntilItHasRunOnce_data()
    {
        QTest::addColumn<QString>("noGsRun");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("wizardRuns");
        QTest::addColumn<QString>("fileToOpen");
        QTest::newRow("first run, no file") << "" << "" << true << "";
        QTest::newRow("first run, quoted path with blanks")
            << "0" << "  \"/home/ann/My Trees/cars.kvp\" " << true << "/home/ann/My Trees/cars.kvp";
        QTest::newRow("has run before") << "1" << "" << false << "";
    }
    void gettingStartedRunsUntilItHasRunOnce()
    {
        QFETCH(QString, noGsRun);
        QFETCH(QString, commandLine);
        QFETCH(bool, wizardRuns);
        QFETCH(QString, fileToOpen);
        if (!noGsRun.isEmpty())
            CRegistry::Write(QString(), QStringLiteral("NoGSRun"), noGsRun);
        MStartUp::Main(m_prompt, m_windows, commandLine);
        const CcGettingStarted& wizard = gApp->Controller().GettingStarted();
        QCOMPARE(wizard.Running(), wizardRuns);
        QCOMPARE(wizard.PendingFile(), fileToOpen);
    }

    void exitReleasesTheApplicationThenClosesWindows()
    {
        MStartUp::Main(m_prompt, m_windows, QString());
        QVERIFY(gApp->Controller().GettingStarted().Running());
        QSignalSpy viewGone(&gApp->View(), &QObject::destroyed);
        m_windows.calls.clear();

        QVERIFY(MStartUp::ExitProgram(m_windows));
        QVERIFY(!gApp);
        QCOMPARE(viewGone.size(), 1);
        QCOMPARE(m_windows.calls, QStringList{QStringLiteral("CloseAllWindows")});
        QCOMPARE(CRegistry::Read(QString(), QStringLiteral("NoGSRun")), QStringLiteral("1"));
    }

    void exitWithoutApplicationOnlyClosesWindows()
    {
        QVERIFY(MStartUp::ExitProgram(m_windows));
        QCOMPARE(m_windows.calls, QStringList{QStringLiteral("CloseAllWindows")});
        QVERIFY(!CRegistry(QString(), QStringLiteral("NoGSRun")).KeyExists());
    }

    void classFactoryAnswersTheLiveRoots()
    {
        Project project(m_prompt);
        QCOMPARE(project.IClassLookup_CreateClass(1).object, static_cast<IClassPersistable*>(&project));
        QCOMPARE(project.IClassLookup_CreateClass(2).object, static_cast<IClassPersistable*>(&project.Model()));
        QCOMPARE(project.IClassLookup_CreateClass(11).object, static_cast<IClassPersistable*>(&project.Explorer()));
        QVERIFY(project.IClassLookup_CreateClass(7).object);
        QVERIFY(!project.IClassLookup_CreateClass(7).owned);
        for (const int unknown : {0, 13, -1, 99})
            QVERIFY(!project.IClassLookup_CreateClass(unknown));
        QVERIFY(!project.IClassLookup_CreateClass(1).owned);
    }
};

KV_REGISTER_TEST(TestStartUp)
#include "tst_StartUp.moc"
