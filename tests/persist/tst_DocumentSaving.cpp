#include "PersistTestFiles.h"
#include "common/TestRegistry.h"
#include "persist/StorageDocument.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace PersistTestFiles;


class tst_DocumentSaving : public QObject {
    Q_OBJECT

private slots:
    void failedSaveLeavesThePreviousFile_data()
    {
        QTest::addColumn<qint64>("failAfter");
        QTest::newRow("before the first byte") << qint64(0);
        QTest::newRow("inside the header") << qint64(50);
        QTest::newRow("midway") << qint64(200 * 1024);
    }

    void failedSaveLeavesThePreviousFile()
    {
        QFETCH(qint64, failAfter);
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("project.kvp"));
        StorageDocument document;
        QVERIFY(document.create());
        QVERIFY(writeNode(document, QStringLiteral("\\Keep"), QStringLiteral("first save")));
        QVERIFY(document.saveAs(filePath));
        const FileState saved = stateOf(filePath);

        QVERIFY(writeNode(document, QStringLiteral("\\Keep"), QStringLiteral("second save")));
        QVERIFY(writeNode(document, QStringLiteral("\\Big"), QString(300 * 1024, u'b')));
        QSignalSpy finished(&document, &StorageDocument::operationFinished);
        document.setFailAfterBytesForTest(failAfter);
        const StorageResult failed = document.save();
        QCOMPARE(failed.kind, StorageErrorKind::Io);
        QVERIFY2(failed.message.contains(filePath), qPrintable(failed.message));
        QCOMPARE(finished.count(), 1);

        QVERIFY(stateOf(filePath) == saved);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("project.kvp")});
        StorageDocument previous;
        QVERIFY(previous.openReadOnly(filePath));
        QCOMPARE(textOf(previous, QStringLiteral("\\Keep")), QStringLiteral("first save"));

        // The failure is not sticky: the next save goes through.
        QVERIFY(document.save());
        StorageDocument reopened;
        QVERIFY(reopened.open(filePath));
        QCOMPARE(textOf(reopened, QStringLiteral("\\Keep")), QStringLiteral("second save"));
        QCOMPARE(textOf(reopened, QStringLiteral("\\Big")).size(), 300 * 1024);
    }

    void saveIntoAMissingFolderFails()
    {
        QTemporaryDir dir;
        StorageDocument document;
        QVERIFY(document.create());
        const QString target = dir.filePath(QStringLiteral("no/such/folder/x.kvp"));
        const StorageResult result = document.saveAs(target);
        QCOMPARE(result.kind, StorageErrorKind::Io);
        QVERIFY(result.message.contains(target));
        QVERIFY(document.path().isEmpty());
        QVERIFY(entriesOf(dir.path()).isEmpty());
    }

    void saveNeedsAFileName()
    {
        StorageDocument document;
        QVERIFY(!document.save());
        QVERIFY(document.create());
        const StorageResult result = document.save();
        QCOMPARE(result.kind, StorageErrorKind::Io);
        QVERIFY(!result.message.isEmpty());
    }

    void saveReplacesWhateverWasThere()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("old.kvp"));
        QVERIFY(writeAll(filePath, QByteArrayLiteral("not a document at all")));
        StorageDocument document;
        QVERIFY(document.create());
        QVERIFY(writeNode(document, QStringLiteral("\\A"), QStringLiteral("new")));
        QSignalSpy percent(&document, &StorageDocument::percentDone);
        QVERIFY(document.saveAs(filePath));
        QCOMPARE(document.path(), filePath);
        QVERIFY(!percent.isEmpty());
        QCOMPARE(percent.last().first().toInt(), 100);

        StorageDocument reopened;
        QVERIFY(reopened.open(filePath));
        QCOMPARE(textOf(reopened, QStringLiteral("\\A")), QStringLiteral("new"));
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("old.kvp")});
    }

    void readOnlyDocumentIsNeverWritten()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("inspect.kvp"));
        QVERIFY(saveNewDocument(filePath, QStringLiteral("\\A"), QStringLiteral("original")));
        const FileState before = stateOf(filePath);

        StorageDocument document;
        QVERIFY(document.openReadOnly(filePath));
        QVERIFY(document.isReadOnly());
        StorageNode node = nodeAt(document, QStringLiteral("\\A"));
        QCOMPARE(node.writeText(QStringLiteral("changed")).kind, StorageErrorKind::Io);
        QVERIFY(!node.open(QStringLiteral("\\New")));
        QVERIFY(!document.pictures().add(QStringLiteral("p"), QByteArray("x")));
        QVERIFY(!document.save());
        QVERIFY(!document.saveAs(filePath));
        QVERIFY(stateOf(filePath) == before);

        // Saving under another name makes it an ordinary document of that file.
        const QString copyPath = dir.filePath(QStringLiteral("copy.kvp"));
        QVERIFY(document.saveAs(copyPath));
        QVERIFY(!document.isReadOnly());
        QCOMPARE(document.path(), copyPath);
        QVERIFY(writeNode(document, QStringLiteral("\\A"), QStringLiteral("edited copy")));
        QVERIFY(document.save());
        QVERIFY(stateOf(filePath) == before);
    }
};

KV_REGISTER_TEST(tst_DocumentSaving)
#include "tst_DocumentSaving.moc"
