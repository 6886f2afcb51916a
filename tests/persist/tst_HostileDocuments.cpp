#include "PersistTestFiles.h"
#include "common/TestRegistry.h"
#include "base/KvError.h"
#include "persist/DocumentSchema.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageDocument.h"

#include <QTemporaryDir>
#include <QTest>

using namespace PersistTestFiles;

namespace {

constexpr int SampleNodes = 12;

QString sampleText(int i)
{
    return QStringLiteral("record %1 ").arg(i).repeated(40);
}

bool saveSample(const QString& filePath)
{
    StorageDocument document;
    if (!document.create() || !document.properties().setValue(QStringLiteral("Title"), QStringLiteral("Sample")))
        return false;
    for (int i = 0; i < SampleNodes; ++i) {
        if (!writeNode(document, QStringLiteral("\\Databases\\Table%1").arg(i), sampleText(i)))
            return false;
    }
    return document.pictures().add(QStringLiteral("logo"), QByteArray(300, 'p')) && document.saveAs(filePath);
}

// Whether the document holds exactly what saveSample wrote.
bool holdsSample(const StorageDocument& document)
{
    StorageNode tables = document.rootNode();
    QStringList names;
    if (!tables.open(QStringLiteral("\\Databases")) || !tables.children(names) || names.size() != SampleNodes)
        return false;
    for (int i = 0; i < SampleNodes; ++i) {
        if (textOf(document, QStringLiteral("\\Databases\\Table%1").arg(i)) != sampleText(i))
            return false;
    }
    QString title;
    QByteArray logo;
    return document.properties().value(QStringLiteral("Title"), title) && title == QLatin1String("Sample")
        && document.pictures().read(QStringLiteral("logo"), logo) && logo == QByteArray(300, 'p');
}

// A document as the first format wrote it: no checksum.
bool saveFirstFormat(const QString& filePath)
{
    return execSql(filePath, QStringLiteral(
                       "PRAGMA application_id = %1; PRAGMA user_version = 1;"
                       "CREATE TABLE node(path TEXT PRIMARY KEY COLLATE NOCASE, value BLOB);"
                       "CREATE TABLE picture(name TEXT PRIMARY KEY COLLATE NOCASE, data BLOB);"
                       "CREATE TABLE docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT);"
                       "INSERT INTO node(path, value) VALUES('\\', NULL), ('\\Notes', 'written long ago');")
                       .arg(DocumentSchema::ApplicationId))
        .isEmpty();
}

} // namespace

class tst_HostileDocuments : public QObject {
    Q_OBJECT

private slots:
    void refusesASchemaThatIsNotExactlyOurs_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("named");
        QTest::newRow("trigger rewriting what is read")
            << "CREATE TRIGGER wipe AFTER INSERT ON node BEGIN DELETE FROM node; END" << "wipe";
        QTest::newRow("view with a huge join")
            << "CREATE VIEW summary AS SELECT a.path FROM node a, node b, node c, node d" << "summary";
        QTest::newRow("table of its own") << "CREATE TABLE notes(x)" << "notes";
        QTest::newRow("index of its own") << "CREATE INDEX byvalue ON node(value)" << "byvalue";
        QTest::newRow("planner statistics") << "ANALYZE" << "sqlite_stat1";
        QTest::newRow("our table laid out otherwise")
            << "DROP TABLE docprop; CREATE TABLE docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT, "
               "extra DEFAULT (randomblob(1000000)))"
            << "docprop";
    }
    void refusesASchemaThatIsNotExactlyOurs()
    {
        QFETCH(QString, sql);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hostile.kvp"));
        QVERIFY(saveSample(path));
        QCOMPARE(execSql(path, sql), QString());
        const FileState before = stateOf(path);
        for (const bool readOnly : {false, true}) {
            StorageDocument document;
            const StorageResult result = readOnly ? document.openReadOnly(path) : document.open(path);
            QCOMPARE(result.kind, StorageErrorKind::Corrupt);
            QVERIFY2(result.message.contains(QLatin1Char('"') + named + QLatin1Char('"')), qPrintable(result.message));
            QVERIFY(!document.isOpen());
        }
        QVERIFY(stateOf(path) == before);
    }

    // Whatever a hostile statement tries, the connection refuses it, should a schema check ever
    // let something through.
    void connectionsRunOnlyWhatTheStorageNeeds_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("reading a node") << "SELECT substr(path, 2) FROM node" << true;
        QTest::newRow("writing a node") << "INSERT INTO node(path) VALUES('\\x')" << true;
        QTest::newRow("trigger") << "CREATE TRIGGER t AFTER INSERT ON node BEGIN DELETE FROM node; END" << false;
        QTest::newRow("view") << "CREATE VIEW v AS SELECT 1" << false;
        QTest::newRow("other table") << "CREATE TABLE other(x)" << false;
        QTest::newRow("attach") << "ATTACH ':memory:' AS side" << false;
        QTest::newRow("schema writing") << "PRAGMA writable_schema = ON" << false;
        QTest::newRow("schema version read") << "PRAGMA schema_version" << true;
        QTest::newRow("schema version set") << "PRAGMA schema_version = 7" << false;
        QTest::newRow("function we never call") << "SELECT randomblob(10)" << false;
        QTest::newRow("dropping our table") << "DROP TABLE picture" << false;
    }
    void connectionsRunOnlyWhatTheStorageNeeds()
    {
        QFETCH(QString, sql);
        QFETCH(bool, allowed);
        const std::unique_ptr<SqliteDatabase> db = SqliteDatabase::openMemory();
        DocumentSchema::create(*db);
        bool ran = true;
        try {
            db->exec(sql.toUtf8().constData());
        } catch (const KvError&) {
            ran = false;
        }
        QCOMPARE(ran, allowed);
    }

    void olderFilesOpenWithoutAChecksumAndGetOneWhenSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.kvp"));
        QVERIFY(saveFirstFormat(path));
        // Changed behind our back, a file without a checksum cannot tell.
        QCOMPARE(execSql(path, QStringLiteral("UPDATE node SET value = 'edited' WHERE path = '\\Notes'")), QString());
        StorageDocument document;
        QVERIFY(document.open(path));
        QCOMPARE(textOf(document, QStringLiteral("\\Notes")), QStringLiteral("edited"));
        QVERIFY(document.save());
        document.close();

        QCOMPARE(execSql(path, QStringLiteral("UPDATE node SET value = 'edited again' WHERE path = '\\Notes'")),
                 QString());
        const StorageResult reopened = document.open(path);
        QCOMPARE(reopened.kind, StorageErrorKind::ChecksumMismatch);
        QVERIFY(reopened.message.contains(path));
    }

    // Bytes damaged anywhere in a file either keep it from opening or change nothing it holds.
    void damagedBytesNeverLoadAsChangedContent()
    {
        QTemporaryDir dir;
        const QString original = dir.filePath(QStringLiteral("sample.kvp"));
        QVERIFY(saveSample(original));
        const QByteArray bytes = readAll(original);
        const QString damaged = dir.filePath(QStringLiteral("damaged.kvp"));
        int caughtByChecksum = 0;
        for (qsizetype at = 0; at < bytes.size(); at += 37) {
            QByteArray copy = bytes;
            copy[at] = static_cast<char>(copy.at(at) ^ 0x24);
            QVERIFY(writeAll(damaged, copy));
            StorageDocument document;
            const StorageResult opened = document.open(damaged);
            if (opened) {
                QVERIFY2(holdsSample(document), qPrintable(QStringLiteral("byte %1 changed the content").arg(at)));
                continue;
            }
            QVERIFY2(opened.kind == StorageErrorKind::Corrupt || opened.kind == StorageErrorKind::ChecksumMismatch,
                     qPrintable(opened.message));
            caughtByChecksum += opened.kind == StorageErrorKind::ChecksumMismatch ? 1 : 0;
        }
        QVERIFY(caughtByChecksum > 0);
    }

    void aMismatchOpensReadOnlyWhenAccepted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("changed.kvp"));
        QVERIFY(saveSample(path));
        QCOMPARE(execSql(path, QStringLiteral("UPDATE node SET value = 'changed' WHERE path = '\\Databases\\Table3'")),
                 QString());
        const FileState before = stateOf(path);
        StorageDocument document;
        QCOMPARE(document.openReadOnly(path).kind, StorageErrorKind::ChecksumMismatch);
        QVERIFY(document.openReadOnly(path, StorageDocument::Checksum::Accept));
        QVERIFY(document.isReadOnly());
        QCOMPARE(textOf(document, QStringLiteral("\\Databases\\Table3")), QStringLiteral("changed"));
        QVERIFY(!document.save());
        QVERIFY(stateOf(path) == before);

        const QString copy = dir.filePath(QStringLiteral("kept.kvp"));
        QVERIFY(document.saveAs(copy));
        StorageDocument reopened;
        QVERIFY(reopened.open(copy));
        QCOMPARE(textOf(reopened, QStringLiteral("\\Databases\\Table3")), QStringLiteral("changed"));
    }
};

KV_REGISTER_TEST(tst_HostileDocuments)
#include "tst_HostileDocuments.moc"
