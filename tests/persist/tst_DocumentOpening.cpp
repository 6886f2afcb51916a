#include "PersistTestFiles.h"
#include "SqliteFileLock.h"
#include "common/TestRegistry.h"
#include "persist/DocumentSchema.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace PersistTestFiles;

namespace {

enum class Damage { RandomBytes, Empty, CutInHeader, CutInHalf, CutLastPage, ScribbledPages, ForeignDatabase,
                    MissingTable, MissingColumn, NewerFormat, Missing };

// A saved document with enough nodes to span many pages.
bool saveSampleDocument(const QString& filePath)
{
    StorageDocument document;
    if (!document.create())
        return false;
    StorageNode node = document.rootNode();
    for (int i = 0; i < 40; ++i) {
        if (!node.open(QStringLiteral("\\Databases\\Table%1").arg(i)) || !node.writeText(QString(3000, u'x')))
            return false;
    }
    return bool(document.saveAs(filePath));
}

bool prepare(Damage damage, const QString& filePath)
{
    switch (damage) {
    case Damage::RandomBytes: {
        QByteArray noise(8192, '\0');
        QRandomGenerator generator(7);
        for (char& byte : noise)
            byte = static_cast<char>(generator.bounded(256));
        return writeAll(filePath, noise);
    }
    case Damage::Empty:
        return writeAll(filePath, QByteArray());
    case Damage::CutInHeader:
        return saveSampleDocument(filePath) && writeAll(filePath, readAll(filePath).left(60));
    case Damage::CutInHalf:
        return saveSampleDocument(filePath) && writeAll(filePath, readAll(filePath).left(readAll(filePath).size() / 2));
    case Damage::CutLastPage:
        return saveSampleDocument(filePath) && writeAll(filePath, readAll(filePath).chopped(4096));
    case Damage::ScribbledPages: {
        if (!saveSampleDocument(filePath))
            return false;
        // Pages in the middle hold stored values, not the tables' roots, which any query reads.
        QByteArray bytes = readAll(filePath);
        const qsizetype middlePage = bytes.size() / 2 / 4096 * 4096;
        bytes.replace(middlePage, 2 * 4096, QByteArray(2 * 4096, '\x5a'));
        return writeAll(filePath, bytes);
    }
    case Damage::ForeignDatabase:
        return execSql(filePath, QStringLiteral("CREATE TABLE node(path TEXT PRIMARY KEY, value BLOB)")).isEmpty();
    case Damage::MissingTable:
        return saveSampleDocument(filePath) && execSql(filePath, QStringLiteral("DROP TABLE picture")).isEmpty();
    case Damage::MissingColumn:
        return saveSampleDocument(filePath)
            && execSql(filePath, QStringLiteral("ALTER TABLE docprop DROP COLUMN value")).isEmpty();
    case Damage::NewerFormat:
        return saveSampleDocument(filePath) && execSql(filePath, QStringLiteral("PRAGMA user_version = %1").arg(DocumentSchema::FormatVersion + 1)).isEmpty();
    case Damage::Missing:
        return true;
    }
    return false;
}

} // namespace

class tst_DocumentOpening : public QObject {
    Q_OBJECT

private slots:
    void refusesWhatIsNotADocument_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<StorageErrorKind>("expected");
        QTest::newRow("random bytes") << Damage::RandomBytes << StorageErrorKind::Corrupt;
        QTest::newRow("empty file") << Damage::Empty << StorageErrorKind::Corrupt;
        QTest::newRow("cut inside the header") << Damage::CutInHeader << StorageErrorKind::Corrupt;
        QTest::newRow("cut in half") << Damage::CutInHalf << StorageErrorKind::Corrupt;
        QTest::newRow("last page cut off") << Damage::CutLastPage << StorageErrorKind::Corrupt;
        QTest::newRow("pages overwritten") << Damage::ScribbledPages << StorageErrorKind::Corrupt;
        QTest::newRow("database of another program") << Damage::ForeignDatabase << StorageErrorKind::Corrupt;
        QTest::newRow("table missing") << Damage::MissingTable << StorageErrorKind::Corrupt;
        QTest::newRow("column missing") << Damage::MissingColumn << StorageErrorKind::Corrupt;
        QTest::newRow("newer format") << Damage::NewerFormat << StorageErrorKind::Corrupt;
        QTest::newRow("no such file") << Damage::Missing << StorageErrorKind::NotFound;
    }

    void refusesWhatIsNotADocument()
    {
        QFETCH(Damage, damage);
        QFETCH(StorageErrorKind, expected);
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("bad.kvp"));
        QVERIFY(prepare(damage, filePath));
        const FileState before = stateOf(filePath);
        const QStringList entriesBefore = entriesOf(dir.path());

        for (const bool readOnly : {false, true}) {
            StorageDocument document;
            const StorageResult result = readOnly ? document.openReadOnly(filePath) : document.open(filePath);
            QCOMPARE(result.kind, expected);
            QVERIFY2(result.message.contains(filePath), qPrintable(result.message));
            QVERIFY(!document.isOpen());
        }
        QCOMPARE(entriesOf(dir.path()), entriesBefore);
        QVERIFY(stateOf(filePath) == before);
    }

    // A sparse file claims gigabytes for the cost of a few pages; it is refused before a page of
    // it is copied into memory.
    void refusesAFileLargerThanAProjectIs()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("sparse.kvp"));
        QVERIFY(saveSampleDocument(filePath));
        QFile file(filePath);
        QVERIFY(file.resize(FileBytes::sizeLimit(FileBytes::Input::Project) + 1));
        StorageDocument document;
        const StorageResult result = document.open(filePath);
        QCOMPARE(result.kind, StorageErrorKind::Io);
        QVERIFY2(result.message.contains(filePath) && result.message.contains(QStringLiteral("1024 MB")), qPrintable(result.message));
        QVERIFY(!document.isOpen());
    }

    void tellsAFileInUse()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("busy.kvp"));
        QVERIFY(saveSampleDocument(filePath));
        const FileState before = stateOf(filePath);
        {
            SqliteFileLock lock(filePath);
            QVERIFY(lock.isLocked());
            StorageDocument document;
            const StorageResult result = document.open(filePath);
            QCOMPARE(result.kind, StorageErrorKind::InUse);
            QVERIFY(result.message.contains(filePath));
            QCOMPARE(document.openReadOnly(filePath).kind, StorageErrorKind::InUse);
            QVERIFY(!document.isOpen());
        }
        QVERIFY(stateOf(filePath) == before);
        StorageDocument document;
        QVERIFY(document.open(filePath));
        QVERIFY(stateOf(filePath) == before);
    }

    void openingAGoodFileLeavesItAsItWas()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("good.kvp"));
        QVERIFY(saveSampleDocument(filePath));
        const FileState before = stateOf(filePath);
        QTest::qWait(20); // a write now would show in the time stamp
        StorageDocument document;
        QVERIFY(document.open(filePath));
        StorageNode node = nodeAt(document, QStringLiteral("\\Databases\\Table1"));
        QVERIFY(node.writeText(QStringLiteral("changed in memory only")));
        document.close();
        QVERIFY(stateOf(filePath) == before);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("good.kvp")});
    }
};

KV_REGISTER_TEST(tst_DocumentOpening)
#include "tst_DocumentOpening.moc"
