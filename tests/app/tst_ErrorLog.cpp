#include "app/CApplication.h"
#include "base/ErrorLog.h"
#include "base/KvError.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"
#include "tests/app/RecordingWindowHost.h"

#include <QFile>
#include <QTest>

class TestErrorLog : public QObject {
    Q_OBJECT

    static QByteArray logContent()
    {
        QFile file(ErrorLogFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    ScriptedPrompt m_prompt;
    RecordingWindowHost m_windows;

private slots:
    void init()
    {
        QFile::remove(ErrorLogFilePath());
        gApp.reset();
    }
    void cleanup() { gApp.reset(); }

    void reportedLineFormat_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("expected");
        QTest::newRow("source and procedure") << "kvStore" << "CcFile.FileSave"
                                              << "Error:53\tSource:kvStore|CcFile.FileSave\tDescription:File not found\r\n";
        QTest::newRow("no source") << "" << "CModel.Init" << "Error:53\tSource:CModel.Init\tDescription:File not found\r\n";
        QTest::newRow("no procedure") << "kvStore" << "" << "Error:53\tSource:kvStore\tDescription:File not found\r\n";
    }
    void reportedLineFormat()
    {
        QFETCH(QString, source);
        QFETCH(QString, procedure);
        QFETCH(QString, expected);
        gApp = std::make_unique<CApplication>(m_prompt, m_windows);
        ReportError(KvError(53, source, QStringLiteral("File not found")), procedure);
        QCOMPARE(gApp->ErrorLogBuffer().Value(), expected);
    }

    void bufferReplacesFileAtExitOnlyWhenErrorsHappened()
    {
        QFile earlier(ErrorLogFilePath());
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("from an earlier run\r\n");
        earlier.close();

        gApp = std::make_unique<CApplication>(m_prompt, m_windows);
        WriteErrorLog(QString());
        QCOMPARE(logContent(), QByteArray("from an earlier run\r\n"));

        ReportError(KvError(7, QStringLiteral("kv"), QStringLiteral("Out of memory")), QStringLiteral("CModel.Init"));
        // Each piece reaches the file at once, so a crash still leaves a trace.
        QVERIFY(logContent().startsWith("from an earlier run\r\nError:\r\n7\r\n"));
        WriteErrorLog(QString());
        QCOMPARE(logContent(), QByteArray("Error:7\tSource:kv|CModel.Init\tDescription:Out of memory\r\n\r\n"));
    }

    void errorBeforeTheApplicationObjectGoesStraightToTheFile()
    {
        ReportError(KvError(5, QString(), QStringLiteral("Invalid call")), QStringLiteral("MStartUp.Main"));
        const QByteArray content = logContent();
        // Every piece is kept, none replaces another.
        QCOMPARE(content, QByteArray("Error:\r\n5\r\n\t\r\nSource:\r\n\r\nMStartUp.Main\r\n\t\r\nDescription:\r\n"
                                     "Invalid call\r\n\r\n\r\n"));
    }

    void foreignExceptionsAreReportedWithNumberZero()
    {
        gApp = std::make_unique<CApplication>(m_prompt, m_windows);
        ReportError(std::runtime_error("boom"), QStringLiteral("CcFile.FileNew"));
        QCOMPARE(gApp->ErrorLogBuffer().Value(), QStringLiteral("Error:0\tSource:CcFile.FileNew\tDescription:boom\r\n"));
    }
};

KV_REGISTER_TEST(TestErrorLog)
#include "tst_ErrorLog.moc"
