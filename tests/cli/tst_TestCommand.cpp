#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "tests/cli/CliRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::Outcome;
using CliRun::run;

const QString SampleJourneys = QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.journeys.txt");

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

// What Python's xml.etree counts in a JUnit report; empty when python3 is missing or refused it.
QJsonObject junitCounts(const QString& path, QString& problem)
{
    QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        problem = QStringLiteral("python3 is not installed");
        return {};
    }
    QProcess process;
    process.start(python, {QStringLiteral(KV_TEST_DATA_DIR "/junit_counts.py"), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        problem = QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

} // namespace

// kestrova test and kestrova journeys over the sample project and its journeys.
class TestTestCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_project;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase()
    {
        m_project = path("laptop-selector.kvp");
        QCOMPARE(run({"from-rules", KV_SOURCE_DIR "/examples/laptop-selector.rules", "-o", m_project}).code, 0);
        QCOMPARE(run({"selector", "import", m_project, KV_SOURCE_DIR "/examples/laptops.csv"}).code, 0);
    }

    // The sample's journeys pass from their file, and once imported from the project itself;
    // export gives the file's journeys back.
    void sampleJourneysPass()
    {
        const Outcome fromFile = run({"test", m_project, SampleJourneys});
        QCOMPARE(fromFile.err, QString());
        QCOMPARE(fromFile.code, 0);
        QCOMPARE(fromFile.out, QStringLiteral("PASS  Programmer who travels light\n"
                                              "PASS  Gamer who wants the newest games\n"
                                              "PASS  Changes her mind and finishes early\n"
                                              "PASS  Office worker still deciding\n"
                                              "4 of 4 journeys passed.\n"));

        const QString project = path("imported.kvp");
        QVERIFY(QFile::copy(m_project, project));
        QCOMPARE(run({"test", project}).code, 1); // none yet
        const Outcome imported = run({"journeys", "import", project, SampleJourneys});
        QCOMPARE(imported.out, LoadResString(33064).arg(4) + '\n');
        QCOMPARE(run({"test", project}).out, fromFile.out);

        const QString exported = path("exported.txt");
        QCOMPARE(run({"journeys", "export", project, "-o", exported}).code, 0);
        const Outcome again = run({"test", m_project, exported});
        QCOMPARE(again.out, fromFile.out);
        QVERIFY(readText(exported).startsWith("journey: Programmer who travels light\nstart: Welcome\nBudget=1400\n"));
    }

    // A failing journey names its first difference and the exit code says so; JUnit XML counts
    // the tests and the failures as a CI parser reads them.
    void failureAndJUnit()
    {
        QString journeys = readText(SampleJourneys);
        journeys.replace("expect holds: laptops: Rift Blade 16", "expect holds: laptops: Lumen Pro 16");
        journeys.replace("expect value: Budget = 1400", "expect value: Budget = 1500");
        const QString file = path("failing.txt");
        QVERIFY(writeText(file, journeys));
        const QString report = path("report.xml");
        const Outcome outcome = run({"test", m_project, file, "--junit", report});
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.out.contains("FAIL  Programmer who travels light: the value of Budget: expected \"1500\", "
                                      "was \"1400\" (given on page 2 (Budget))\n"),
                 qPrintable(outcome.out));
        QVERIFY(outcome.out.contains("FAIL  Gamer who wants the newest games: laptops should hold Lumen Pro 16, but page 9 "
                                     "(OperatingSystem) removed it (OperatingSystem / Windows: !KILL laptops: OS <> \"Windows\")\n"));
        QVERIFY(outcome.out.endsWith("2 of 4 journeys passed.\n"));

        QString problem;
        const QJsonObject counts = junitCounts(report, problem);
        if (problem == QLatin1String("python3 is not installed"))
            QSKIP("python3 is not installed: the JUnit report is not read");
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(counts.value("tests").toInt(), 4);
        QCOMPARE(counts.value("cases").toInt(), 4);
        QCOMPARE(counts.value("failures").toInt(), 2);
        QCOMPARE(counts.value("failed").toArray(), QJsonArray({"Programmer who travels light", "Gamer who wants the newest games"}));
    }

    // Coverage names an option no journey of the sample takes, and leaves out one they all take.
    void coverage()
    {
        const Outcome outcome = run({"test", m_project, SampleJourneys, "--coverage"});
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.contains("\nCoverage of 4 journeys:\n"));
        QVERIFY2(outcome.out.contains("\n  MainUse: option \"Photo and video editing\" taken by no journey\n"), qPrintable(outcome.out));
        QVERIFY(outcome.out.contains("\n  OperatingSystem: option \"Linux\" taken by no journey\n"));
        QVERIFY(!outcome.out.contains("option \"Gaming\""));
        QVERIFY(!outcome.out.contains("option \"300-699\""));
    }

    // Every journey runs alike on the desktop and the web tree file; a web compile that drops
    // one action makes the runs part, and each journey it touches fails naming where.
    void bothTargets()
    {
        const Outcome web = run({"test", m_project, SampleJourneys, "--target", "web"});
        QCOMPARE(web.err, QString());
        QCOMPARE(web.out, run({"test", m_project, SampleJourneys}).out);
        const Outcome both = run({"test", m_project, SampleJourneys, "--target", "both"});
        QCOMPARE(both.err, QString());
        QCOMPARE(both.code, 0);
        QVERIFY(both.out.endsWith("4 of 4 journeys passed.\n"));

        qputenv("KESTROVA_FAULT_DROP_WEB_ACTION", "1");
        const Outcome planted = run({"test", m_project, SampleJourneys, "--target", "both"});
        const Outcome desktopOnly = run({"test", m_project, SampleJourneys});
        qunsetenv("KESTROVA_FAULT_DROP_WEB_ACTION");
        QCOMPARE(planted.code, 1);
        QCOMPARE(desktopOnly.code, 0);
        // The first change of the tree is the budget's !KILL: the web run keeps what it removes.
        const QString parted = LoadResString(33038).arg("the items left in laptops", "\"Lumen Air 13, Aero 14 Pro, Tessel Dev 14\"", "\"");
        QVERIFY2(planted.out.startsWith("FAIL  Programmer who travels light: " + parted), qPrintable(planted.out));
        QVERIFY(planted.out.contains("\nPASS  Gamer who wants the newest games\n")); // nothing costs more than its budget
        QVERIFY(planted.out.endsWith("1 of 4 journeys passed.\n"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no project") << QStringList{"test"} << 2;
        QTest::newRow("unknown target") << QStringList{"test", "x.kvp", "--target", "phone"} << 2;
        QTest::newRow("two journeys files") << QStringList{"test", "x.kvp", "a.txt", "b.txt"} << 2;
        QTest::newRow("export without -o") << QStringList{"journeys", "export", "x.kvp", "y.txt"} << 2;
        QTest::newRow("unknown action") << QStringList{"journeys", "list", "x.kvp"} << 2;
        QTest::newRow("missing journeys file") << QStringList{"test", "x.kvp", "missing.txt"} << 1;
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QCOMPARE(run(args).code, code);
    }

    // A file that is not journeys leaves the project as it was.
    void importRefusesWhatIsNotJourneys()
    {
        const QString project = path("refusing.kvp");
        QVERIFY(QFile::copy(m_project, project));
        const QString file = path("bad.txt");
        QVERIFY(writeText(file, "journey: A\nexpect end: somewhere\n"));
        const Outcome outcome = run({"journeys", "import", project, file});
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(LoadResString(33010).arg(2).arg(LoadResString(33016))), qPrintable(outcome.err));
        QCOMPARE(run({"test", project}).code, 1);
    }
};

KV_REGISTER_TEST(TestTestCommand)
#include "tst_TestCommand.moc"
