#include "common/TestRegistry.h"

#include "persist/StorageDocument.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A table is read one way, stored as read and exported in the form the README promises: every
// reader (the list, the compilers, the runtime, the printout) then finds the same cells.
class TestSelectorNormalForm : public QObject {
    Q_OBJECT

private slots:
    void importStoresAndExportsTheOneForm_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("stored");
        // As Python's csv module writes a TAB: unquoted, so the README's reading splits there.
        QTest::newRow("unquoted TAB, LF lines") << QByteArray("Name,Note\nA,x\ty\n") << "Name,Note\r\nA,x,y\r\n";
        QTest::newRow("quoted TAB") << QByteArray("Name\r\n\"x\ty\"\r\n") << "Name\r\n\"x\ty\"\r\n";
        QTest::newRow("quoted line break") << QByteArray("Name\n\"a\nb\"\n") << "Name\r\n\"a\nb\"\r\n";
        QTest::newRow("already in the form") << QByteArray("Item,Price\r\nTea,3\r\n") << "Item,Price\r\nTea,3\r\n";
    }
    void importStoresAndExportsTheOneForm()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, stored);
        QTemporaryDir folder;
        const QString in = folder.filePath(QStringLiteral("in.csv"));
        const QString out = folder.filePath(QStringLiteral("out.csv"));
        QFile written(in);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file) == file.size());
        written.close();
        StorageDocument document;
        QVERIFY(document.create());
        SelectorStore store(document);
        QVERIFY(store.Import(in, QStringLiteral("t")));
        QString text;
        QVERIFY(store.ReadText(QStringLiteral("t"), text));
        QCOMPARE(text, stored);
        QVERIFY(store.Export(QStringLiteral("t"), out));
        QFile exported(out);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(exported.readAll()), stored);
    }

    // A table stored as it came by an older program is exported in the form all the same.
    void olderStoredTextIsExportedInTheForm()
    {
        QTemporaryDir folder;
        StorageDocument document;
        QVERIFY(document.create());
        SelectorStore store(document);
        QVERIFY(store.WriteText(QStringLiteral("t"), QStringLiteral("Name\tNote\nA\tx\n")));
        const QString out = folder.filePath(QStringLiteral("out.csv"));
        QVERIFY(store.Export(QStringLiteral("t"), out));
        QFile exported(out);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll(), QByteArray("Name,Note\r\nA,x\r\n"));
    }
};

KV_REGISTER_TEST(TestSelectorNormalForm)
#include "tst_SelectorNormalForm.moc"
