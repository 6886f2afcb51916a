#include "CliRun.h"
#include "common/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::Outcome;
using CliRun::run;

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestAnalyzeCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_sample;
    QString m_planted;

private slots:
    void initTestCase()
    {
        m_sample = m_folder.filePath(QStringLiteral("laptop-selector.kvp"));
        QCOMPARE(run({"from-rules", QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"), "-o", m_sample}).code,
                 0);
        QCOMPARE(run({"selector", "import", m_sample, QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv")}).code, 0);
        m_planted = m_folder.filePath(QStringLiteral("planted.kvp"));
        QCOMPARE(run({"from-rules", QStringLiteral(KV_TEST_DATA_DIR "/analyze-paths.rules"), "-o", m_planted}).code, 0);
    }

    void sampleHasNoFindings()
    {
        const Outcome analyzed = run({"analyze", m_sample});
        QVERIFY2(analyzed.out.isEmpty(), qPrintable(analyzed.out));
        QCOMPARE(analyzed.code, 0);
        const Outcome validated = run({"validate", "--analyze", "--strict", m_sample});
        QVERIFY2(validated.out.isEmpty(), qPrintable(validated.out));
        QCOMPARE(validated.code, 0);
    }

    // One line per finding; anything found fails the command.
    void plantedFaultsAreFound()
    {
        const Outcome outcome = run({"analyze", m_planted});
        QCOMPARE(outcome.out, readText(QStringLiteral(KV_TEST_DATA_DIR "/analyze-paths.txt")));
        QCOMPARE(outcome.code, 1);
        QVERIFY(outcome.err.isEmpty());
    }

    // The same findings as warnings of the validation log, only when asked for.
    void validateAnalyzesWhenAsked()
    {
        const Outcome plain = run({"validate", m_planted});
        QCOMPARE(plain.out, QString());
        const Outcome analyzed = run({"validate", "--analyze", m_planted});
        QCOMPARE(analyzed.code, 0);
        QString lines = analyzed.out;
        lines.replace(QStringLiteral("\r\n\t"), QStringLiteral("\t")).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(lines, run({"analyze", m_planted}).out);
        QCOMPARE(run({"validate", "--analyze", "--strict", m_planted}).code, 1);
    }

    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no project") << QStringList{"analyze"} << 2;
        QTest::newRow("two projects") << QStringList{"analyze", "a.kvp", "b.kvp"} << 2;
        QTest::newRow("unknown option") << QStringList{"analyze", "--deep", "a.kvp"} << 2;
        QTest::newRow("missing file") << QStringList{"analyze", "/nonexistent/missing.kvp"} << 1;
    }
    void arguments()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.code, code);
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!outcome.err.isEmpty());
    }
};

KV_REGISTER_TEST(TestAnalyzeCommand)
#include "tst_AnalyzeCommand.moc"
