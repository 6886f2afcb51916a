#include "project/Project.h"
#include "project/CModel.h"
#include "app/HeadlessWindowHost.h"
#include "base/ResourceStrings.h"
#include "common/ScriptedPrompt.h"
#include "base/StartUpTables.h"
#include "cli/CommandLine.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class TestInfoCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

    struct Outcome {
        int code;
        QString out;
        QString err;
    };

    static Outcome info(const QString& path)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code = CommandLine().run({QStringLiteral("info"), path}, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {code, out, err};
    }

    QString writeProject(const QString& name, int controls)
    {
        ScriptedPrompt prompt;
        StartUpTables::Fill();
        auto project = std::make_unique<Project>(prompt);
        SyntheticTree::fill(project->Decisions(), controls);
        SyntheticTree::fillDocument(project->Document());
        const QString path = m_folder.filePath(name);
        const bool saved = project->Document().SaveFileAs(path).done();
        project.reset();
        return saved ? path : QString();
    }

private slots:
    void printsWhatTheProjectHolds()
    {
        const QString path = writeProject(QStringLiteral("laptops.kvp"), 12);
        QVERIFY(!path.isEmpty());
        const QByteArray before = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const Outcome outcome = info(path);
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.out, QStringLiteral("Name: laptops\n"
                                             "File type: 3 (Desktop, called from another application)\n"
                                             "Controls: 12\n"
                                             "Internal selectors: 0\n"
                                             "External selectors: 0\n"
                                             "Pictures: 0\n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("laptops.tmp"))));
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("corrupt") << QByteArray("garbage garbage garbage")
                                 << QStringLiteral("The file \"%1\" is not a Kestrova document or is damaged: it was not written by this program.");
        QTest::newRow("missing") << QByteArray() << LoadResString(32034);
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expectedError);
        QString path = m_folder.filePath(QStringLiteral("missing.kvp"));
        if (!content.isEmpty()) {
            path = m_folder.filePath(QStringLiteral("corrupt.kvp"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const Outcome outcome = info(path);
        QCOMPARE(outcome.code, 1);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, expectedError.arg(path) + QLatin1Char('\n'));
    }

    // A command that only reads reads the saved file, whoever holds the project.
    void projectOpenInTheDesignerIsRead()
    {
        const QString path = writeProject(QStringLiteral("busy.kvp"), 2);
        CmDocument designer;
        QVERIFY(designer.OpenDocument(path).done());
        const Outcome outcome = info(path);
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.code, 0);
        QVERIFY(outcome.out.contains(QStringLiteral("Controls: 2")));
    }
};

KV_REGISTER_TEST(TestInfoCommand)
#include "tst_InfoCommand.moc"
