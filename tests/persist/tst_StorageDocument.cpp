#include "PersistTestFiles.h"
#include "common/TestRegistry.h"
#include "persist/StorageDocument.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace PersistTestFiles;

namespace {

const QByteArray BinaryValue = QByteArray::fromHex("00ff00417f80c3");
const QByteArray PictureA = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");

struct Content {
    QString path;
    QString text;
};

const QList<Content>& sampleNodes()
{
    static const QList<Content> nodes{
        {QStringLiteral("\\DecisionTreeData\\Basic\\DevFile"), QStringLiteral("{\"class\":1,\"props\":{}}")},
        {QStringLiteral("\\DecisionTreeData\\Basic\\CustomBlock"), QStringLiteral("layout\r\nline two")},
        {QStringLiteral("\\Databases\\Prices"), QStringLiteral("Name,Price\r\nTea,3\r\n")},
        {QStringLiteral("\\Databases\\External\\Sales"), QString()},
        {QStringLiteral("\\Images\\Bild \u00e4\u00f6\u00fc"), QStringLiteral("\u00c4rger \u20ac")},
    };
    return nodes;
}

void fill(StorageDocument& document, const QString& pictureFile)
{
    StorageNode node = document.rootNode();
    for (const Content& content : sampleNodes()) {
        QVERIFY(node.open(content.path));
        QVERIFY(node.writeText(content.text));
    }
    QVERIFY(node.open(QStringLiteral("\\Binary")));
    QVERIFY(node.writeBytes(BinaryValue));

    PictureStore pictures = document.pictures();
    QVERIFY(pictures.add(QStringLiteral("Logo"), PictureA));
    QVERIFY(pictures.addFromFile(QStringLiteral("photo.jpg"), pictureFile));
    QVERIFY(pictures.add(QStringLiteral("Empty"), QByteArray()));

    DocumentProperties properties = document.properties();
    QVERIFY(properties.setValue(DocumentProperties::Title, QStringLiteral("Choosing a bicycle")));
    QVERIFY(properties.setValue(DocumentProperties::Subject, QStringLiteral("Bicycles")));
    QVERIFY(properties.setValue(DocumentProperties::Author, QStringLiteral("R. \u00d8stergaard")));
    QVERIFY(properties.setValue(DocumentProperties::Keywords, QStringLiteral("bike, wheel")));
    QVERIFY(properties.setValue(DocumentProperties::Comments, QStringLiteral("line 1\nline 2")));
    QVERIFY(properties.setValue(QStringLiteral("Revision"), QStringLiteral("7")));
}

} // namespace

class tst_StorageDocument : public QObject {
    Q_OBJECT

private slots:
    void reopenedDocumentKeepsEverything()
    {
        QTemporaryDir dir;
        const QString pictureFile = dir.filePath(QStringLiteral("photo.jpg"));
        const QByteArray pictureBytes = QByteArray(100000, '\xd8') + QByteArray("end");
        QVERIFY(writeAll(pictureFile, pictureBytes));
        const QString filePath = dir.filePath(QStringLiteral("bikes.kvp"));
        {
            StorageDocument document;
            QVERIFY(document.create());
            QVERIFY(document.path().isEmpty());
            fill(document, pictureFile);
            QVERIFY(document.saveAs(filePath));
            document.close();
            QVERIFY(!document.isOpen());
        }

        StorageDocument document;
        QSignalSpy percent(&document, &StorageDocument::percentDone);
        QSignalSpy finished(&document, &StorageDocument::operationFinished);
        QVERIFY(document.open(filePath));
        QCOMPARE(document.path(), filePath);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!percent.isEmpty());
        QCOMPARE(percent.last().first().toInt(), 100);
        StorageNode node = document.rootNode();
        for (const Content& content : sampleNodes()) {
            bool existed = false;
            QVERIFY(node.open(content.path, &existed));
            QVERIFY2(existed, qPrintable(content.path));
            QString text;
            QVERIFY(node.readText(text));
            QCOMPARE(text, content.text);
        }
        QVERIFY(node.open(QStringLiteral("\\Binary")));
        QByteArray bytes;
        QVERIFY(node.readBytes(bytes));
        QCOMPARE(bytes, BinaryValue);
        node.reset();
        QStringList names;
        QVERIFY(node.children(names));
        QCOMPARE(names, (QStringList{"Binary", "Databases", "DecisionTreeData", "Images"}));

        PictureStore pictures = document.pictures();
        QVERIFY(pictures.names(names));
        QCOMPARE(names, (QStringList{"Empty", "Logo", "photo.jpg"}));
        QVERIFY(pictures.read(QStringLiteral("LOGO"), bytes));
        QCOMPARE(bytes, PictureA);
        QVERIFY(pictures.read(QStringLiteral("Empty"), bytes));
        QVERIFY(bytes.isEmpty());
        const QString exported = dir.filePath(QStringLiteral("exported.jpg"));
        QVERIFY(pictures.exportToFile(QStringLiteral("photo.jpg"), exported));
        QCOMPARE(readAll(exported), pictureBytes);

        DocumentProperties properties = document.properties();
        QString value;
        QVERIFY(properties.value(DocumentProperties::Author, value));
        QCOMPARE(value, QStringLiteral("R. \u00d8stergaard"));
        QVERIFY(properties.value(QStringLiteral("comments"), value));
        QCOMPARE(value, QStringLiteral("line 1\nline 2"));
        QVERIFY(properties.names(names));
        QCOMPARE(names, (QStringList{"Author", "Comments", "Keywords", "Revision", "Subject", "Title"}));
    }

    void pictureStoreRefusesWhatIsNotThere()
    {
        QTemporaryDir dir;
        StorageDocument document;
        QVERIFY(document.create());
        PictureStore pictures = document.pictures();
        QVERIFY(pictures.add(QStringLiteral("a"), QByteArray("1")));
        QVERIFY(pictures.add(QStringLiteral("b"), QByteArray("2")));
        QByteArray bytes;
        QCOMPARE(pictures.read(QStringLiteral("c"), bytes).kind, StorageErrorKind::NotFound);
        QCOMPARE(pictures.remove(QStringLiteral("c")).kind, StorageErrorKind::NotFound);
        QCOMPARE(pictures.addFromFile(QStringLiteral("d"), dir.filePath(QStringLiteral("none.gif"))).kind,
                 StorageErrorKind::NotFound);
        QVERIFY(!pictures.exportToFile(QStringLiteral("c"), dir.filePath(QStringLiteral("c.gif"))));
        QVERIFY(entriesOf(dir.path()).isEmpty());
        QVERIFY(!pictures.rename(QStringLiteral("a"), QStringLiteral("B")));

        QVERIFY(pictures.rename(QStringLiteral("a"), QStringLiteral("A")));
        QVERIFY(pictures.rename(QStringLiteral("b"), QStringLiteral("c")));
        QVERIFY(pictures.add(QStringLiteral("C"), QByteArray("3")));
        QVERIFY(pictures.remove(QStringLiteral("A")));
        QStringList names;
        QVERIFY(pictures.names(names));
        QCOMPARE(names, QStringList{QStringLiteral("C")});
        QVERIFY(pictures.read(QStringLiteral("c"), bytes));
        QCOMPARE(bytes, QByteArray("3"));
    }

    void handlesOutliveTheirDocument()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("a.kvp"));
        QVERIFY(saveNewDocument(filePath, QStringLiteral("\\A"), QStringLiteral("one")));
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\A"));
        PictureStore pictures = document.pictures();

        QVERIFY(document.open(filePath));
        // The handles belonged to the document that was replaced.
        QString text;
        QVERIFY(!node.readText(text));
        QVERIFY(!node.writeText(QStringLiteral("lost")));
        QStringList names;
        QVERIFY(!pictures.names(names));
        document.close();
        QVERIFY(!document.rootNode().open(QStringLiteral("\\A")));
        QVERIFY(!StorageNode().readText(text));
    }

    void failedOpenKeepsTheOpenDocument()
    {
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("keep.kvp"));
        QVERIFY(saveNewDocument(filePath, QStringLiteral("\\A"), QStringLiteral("still here")));
        StorageDocument document;
        QVERIFY(document.open(filePath));

        QSignalSpy finished(&document, &StorageDocument::operationFinished);
        QCOMPARE(document.open(dir.filePath(QStringLiteral("missing.kvp"))).kind, StorageErrorKind::NotFound);
        QCOMPARE(finished.count(), 1);
        QVERIFY(document.isOpen());
        QCOMPARE(document.path(), filePath);
        QCOMPARE(textOf(document, QStringLiteral("\\A")), QStringLiteral("still here"));
    }
};

KV_REGISTER_TEST(tst_StorageDocument)
#include "tst_StorageDocument.moc"
