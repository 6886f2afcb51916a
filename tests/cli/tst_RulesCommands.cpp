#include "CliRun.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

using CliRun::readFile;
using CliRun::writeFile;

using CliRun::Outcome;
using CliRun::run;

Outcome runProgram(const QStringList& args)
{
    QProcess program;
    program.start(QStringLiteral(KV_CLI_PATH), args);
    if (!program.waitForFinished(60000))
        return {};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

const QString SampleRules = QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules");

// The records of a project built from a rules text: its lines without BEGIN, ending in LF.
QString recordsOf(QString rules)
{
    rules.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return rules.mid(rules.indexOf('\n') + 1);
}

} // namespace

class TestRulesCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void sampleComesBackRecordForRecord()
    {
        const QString rules = QString::fromUtf8(readFile(SampleRules));
        const QString project = path(QStringLiteral("laptop-selector.kvp"));
        const Outcome built = run({"from-rules", SampleRules, "-o", project});
        QCOMPARE(built.err, QString());
        QCOMPARE(built.code, 0);
        const Outcome records = run({"records", project});
        QCOMPARE(records.code, 0);
        QCOMPARE(records.out, recordsOf(rules));
        QVERIFY(records.out.contains(QLatin1String("!SORT laptops: Battery, Price; True, False")));
        const Outcome info = run({"info", project});
        QVERIFY2(info.out.startsWith(QLatin1String("Name: laptop-selector\n")), qPrintable(info.out));
        QVERIFY2(info.out.contains(QLatin1String("\nControls: 16\n")), qPrintable(info.out));
        QVERIFY(!QFile::exists(path(QStringLiteral("laptop-selector.tmp"))));
    }

    void theProgramReadsCrLfRules()
    {
        QString rules = QString::fromUtf8(readFile(SampleRules));
        rules.replace(QLatin1String("\n"), QLatin1String("\r\n"));
        const QString rulesPath = path(QStringLiteral("crlf.rules"));
        QVERIFY(writeFile(rulesPath, rules.toUtf8()));
        const QString project = path(QStringLiteral("crlf.kvp"));
        const Outcome built = runProgram({"from-rules", rulesPath, "-o", project});
        QCOMPARE(built.err, QString());
        QCOMPARE(built.code, 0);
        QCOMPARE(runProgram({"records", project}).out, recordsOf(rules));
        QVERIFY(runProgram({"info", project}).out.contains(QLatin1String("Name: crlf\nFile type: 0 (Both runtimes)\n"
                                                                         "Controls: 16\n")));
    }

    void malformedRecordWritesNothing_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("no file yet") << false;
        QTest::newRow("existing file") << true;
    }
    void malformedRecordWritesNothing()
    {
        QFETCH(bool, existing);
        const QString rulesPath = path(QStringLiteral("bad.rules"));
        QVERIFY(writeFile(rulesPath, "BEGIN\r\n1\t\tA\t\t\t\"\"\tInfo\t!GO B\t\r\n2\t\tB\t\t\t\"\"\tDial\t\r\n"));
        const QString project = path(QString::fromLatin1(QTest::currentDataTag()) + ".kvp");
        const QByteArray before("an earlier file that must survive");
        if (existing)
            QVERIFY(writeFile(project, before));
        const Outcome outcome = run({"from-rules", rulesPath, "-o", project});
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.out, QString());
        const QString reason = LoadResString(30405).arg("Dial");
        QCOMPARE(outcome.err, QStringLiteral("kestrova: %1: line 3: %2\n").arg(rulesPath, reason));
        QCOMPARE(QFile::exists(project), existing);
        QCOMPARE(readFile(project), existing ? before : QByteArray());
        QCOMPARE(QDir(m_folder.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files), QStringList());
    }

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no output") << QStringList{"from-rules", SampleRules} << 2;
        QTest::newRow("missing rules text") << QStringList{"from-rules", "/nowhere/x.rules", "-o", "a.kvp"} << 1;
        QTest::newRow("records of a missing project") << QStringList{"records", "/nowhere/a.kvp"} << 1;
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, code);
        QCOMPARE(outcome.out, QString());
        QVERIFY(!outcome.err.isEmpty());
    }
};

KV_REGISTER_TEST(TestRulesCommands)
#include "tst_RulesCommands.moc"
