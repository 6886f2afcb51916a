#include "cli/CommandLine.h"
#include "common/TestRegistry.h"

#include <QProcess>
#include <QTest>
#include <QTextStream>

class TestCommandLine : public QObject {
    Q_OBJECT

    struct Outcome {
        int code;
        QString out;
        QString err;
    };

    static Outcome run(const QStringList& args)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CommandLine commandLine;
        const int code = commandLine.run(args, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {code, out, err};
    }

private slots:
    void checkExpr_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("quietOnStdout");
        QTest::addColumn<bool>("saysSomethingOnStderr");
        QTest::newRow("well formed") << QStringList{"check-expr", "SQR( [[Area]] ) > 3"} << 0 << true << false;
        QTest::newRow("selector and bare names") << QStringList{"check-expr", "Price < 20000 & Seats >= 4"} << 0
                                                 << true << false;
        QTest::newRow("syntax error") << QStringList{"check-expr", "[[Side]]^2 + "} << 1 << true << true;
        QTest::newRow("no expression") << QStringList{"check-expr"} << 2 << true << true;
        QTest::newRow("two expressions") << QStringList{"check-expr", "1", "2"} << 2 << true << true;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << true << true;
        QTest::newRow("no command") << QStringList{} << 2 << true << true;
        QTest::newRow("help") << QStringList{"--help"} << 0 << false << false;
        QTest::newRow("command help") << QStringList{"check-expr", "--help"} << 0 << false << false;
    }
    void checkExpr()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(bool, quietOnStdout);
        QFETCH(bool, saysSomethingOnStderr);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, code);
        QCOMPARE(outcome.out.isEmpty(), quietOnStdout);
        QCOMPARE(!outcome.err.isEmpty(), saysSomethingOnStderr);
    }

    void syntaxErrorNamesThePosition()
    {
        const Outcome outcome = run({QStringLiteral("check-expr"), QStringLiteral("ABS( [[A]] - 3 > 2")});
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(QLatin1String("position 4")), qPrintable(outcome.err));
    }

    void helpListsEveryCommand()
    {
        const Outcome outcome = run({QStringLiteral("--help")});
        QVERIFY(outcome.out.contains(QLatin1String("check-expr")));
    }

    void programReportsThroughItsExitCode()
    {
        QProcess program;
        program.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("check-expr"), QStringLiteral("(1 + 2")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(!program.readAllStandardError().isEmpty());
        program.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(program.readAllStandardOutput(),
                 QByteArray("Kestrova Designer command line " KV_VERSION_STRING "\n"));
    }
};

KV_REGISTER_TEST(TestCommandLine)
#include "tst_CommandLine.moc"
