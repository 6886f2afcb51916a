#include "PersistTestFiles.h"
#include "common/TestRegistry.h"
#include "persist/CsvTable.h"
#include "persist/StorageDocument.h"

#include <QTemporaryDir>
#include <QTest>

using namespace PersistTestFiles;

class tst_CsvTable : public QObject {
    Q_OBJECT

private slots:
    void tableSurvivesExportAndImport_data()
    {
        QTest::addColumn<CsvTable::Rows>("rows");
        QTest::newRow("plain") << CsvTable::Rows{{"Name", "Price"}, {"Tea", "3"}};
        QTest::newRow("comma inside") << CsvTable::Rows{{"Colour", "Size"}, {"Green, Blue", "10"}};
        QTest::newRow("quotes inside") << CsvTable::Rows{{"say \"hi\"", "\""}, {"\"\"", "a\"b"}};
        QTest::newRow("line breaks inside")
            << CsvTable::Rows{{"one\r\ntwo", "three\nfour"}, {"\r", "x\n\ny"}};
        QTest::newRow("empty cells") << CsvTable::Rows{{"", "", ""}, {"a", "", "b"}, {""}};
        QTest::newRow("spaces and tabs kept") << CsvTable::Rows{{" lead", "trail ", "in\tside"}};
        QTest::newRow("everything at once")
            << CsvTable::Rows{{"\"Quoted, with comma\"\r\nand \"line\"", "\u00e4\u20ac"}, {",", "\",\""}};
        QTest::newRow("ragged rows") << CsvTable::Rows{{"a"}, {"b", "c", "d"}, {"e", "f"}};
        QTest::newRow("no rows") << CsvTable::Rows{};
    }

    void tableSurvivesExportAndImport()
    {
        QFETCH(CsvTable::Rows, rows);
        CsvTable::Rows parsed;
        QVERIFY(CsvTable::parse(CsvTable::toText(rows), parsed));
        QCOMPARE(parsed, rows);

        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("table.csv"));
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode source = nodeAt(document, QStringLiteral("\\Databases\\Source"));
        QVERIFY(source.writeTable(rows));
        QVERIFY(source.exportTable(filePath));
        QCOMPARE(readAll(filePath), CsvTable::toText(rows).toUtf8());

        StorageNode target = nodeAt(document, QStringLiteral("\\Databases\\Target"));
        QVERIFY(target.importTable(filePath));
        QVERIFY(target.readTable(parsed));
        QCOMPARE(parsed, rows);
    }

    void writesTheUsualForm()
    {
        const CsvTable::Rows rows{{"Red", "Green, Blue", "10"}, {"say \"hi\"", "two\nlines"}};
        QCOMPARE(CsvTable::toText(rows),
                 QStringLiteral("Red,\"Green, Blue\",10\r\n\"say \"\"hi\"\"\",\"two\nlines\"\r\n"));
    }

    void readsTextFromOtherPrograms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CsvTable::Rows>("rows");
        QTest::newRow("no line end at the end") << "a,b\r\nc,d" << CsvTable::Rows{{"a", "b"}, {"c", "d"}};
        QTest::newRow("LF line ends") << "a,b\nc,d\n" << CsvTable::Rows{{"a", "b"}, {"c", "d"}};
        QTest::newRow("CR line ends") << "a\rb\r" << CsvTable::Rows{{"a"}, {"b"}};
        QTest::newRow("comma at the end") << "a,\r\nb," << CsvTable::Rows{{"a", ""}, {"b", ""}};
        QTest::newRow("empty line") << "a\r\n\r\nb\r\n" << CsvTable::Rows{{"a"}, {""}, {"b"}};
        QTest::newRow("quote inside a plain cell") << "5\" disk,x" << CsvTable::Rows{{"5\" disk", "x"}};
        QTest::newRow("byte order mark") << "\ufeffName\r\n" << CsvTable::Rows{{"Name"}};
        QTest::newRow("quoted empty cell") << "\"\",\"\"\"\"" << CsvTable::Rows{{"", "\""}};
    }

    void readsTextFromOtherPrograms()
    {
        QFETCH(QString, text);
        QFETCH(CsvTable::Rows, rows);
        CsvTable::Rows parsed;
        QVERIFY(CsvTable::parse(text, parsed));
        QCOMPARE(parsed, rows);
    }

    void refusesBrokenQuoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("quote never closed") << "a,b\r\nc,\"open\r\nstill open" << "Line 2";
        QTest::newRow("text after closing quote") << "a\r\n\"x\"y,z" << "Line 2";
    }

    void refusesBrokenQuoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        CsvTable::Rows parsed;
        const StorageResult result = CsvTable::parse(text, parsed);
        QCOMPARE(result.kind, StorageErrorKind::Corrupt);
        QVERIFY2(result.message.contains(line), qPrintable(result.message));

        // Importing such a file leaves the node as it was.
        QTemporaryDir dir;
        const QString filePath = dir.filePath(QStringLiteral("broken.csv"));
        QVERIFY(writeAll(filePath, text.toUtf8()));
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode node = nodeAt(document, QStringLiteral("\\Databases\\T"));
        QVERIFY(node.writeTable({{"kept"}}));
        const StorageResult imported = node.importTable(filePath);
        QCOMPARE(imported.kind, StorageErrorKind::Corrupt);
        QVERIFY(imported.message.contains(filePath));
        QVERIFY(node.readTable(parsed));
        QCOMPARE(parsed, CsvTable::Rows{{"kept"}});
    }
};

KV_REGISTER_TEST(tst_CsvTable)
#include "tst_CsvTable.moc"
