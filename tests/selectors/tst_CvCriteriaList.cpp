#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "model/CmDocument.h"
#include "selectors/CvCriteriaList.h"
#include "selectors/SelectorStore.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Record = SelectorUndoRecord;

// A grid over a document of its own, loaded from stored selector text.
struct Grid {
    CmDocument document;
    ScriptedPrompt prompt;
    CvCriteriaList list{document, prompt};

    explicit Grid(const QString& text = QString())
    {
        list.setName(QStringLiteral("Fruit"));
        if (!text.isNull()) {
            SelectorStore(document.Storage()).WriteText(list.Name(), text);
            list.Load();
        }
    }

    QString stored()
    {
        QString text;
        SelectorStore(document.Storage()).ReadText(list.Name(), text);
        return text;
    }

    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < list.ColumnCount(); ++c)
            cells.append(list.Cell(r, c));
        return cells;
    }

    void type(const QString& text)
    {
        list.GridEdit(text.front());
        list.setEditText(text);
    }
};

const QString Table = QStringLiteral("Name,Price,Colour\r\nApple,3,Red\r\nPear,4,Green\r\nPlum,,Blue\r\n");

} // namespace

class tst_CvCriteriaList : public QObject {
    Q_OBJECT

private slots:
    void newGridHasDefaultSize()
    {
        Grid grid;
        QCOMPARE(grid.list.ColumnCount(), 4);
        QCOMPARE(grid.list.RowCount(), 10);
        QCOMPARE(grid.list.rowCount(), 9);
        QCOMPARE(grid.list.CurrentRow(), 1);
    }

    void loadSizesTheGrid_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("spare column, padded rows") << "A,B\r\nx,y\r\n" << 4 << 3;
        QTest::newRow("wider later line") << "A,B\r\nx,y,z,w\r\n" << 4 << 5;
        QTest::newRow("later line as wide as grid") << "A,B\r\nx,y,z\r\n" << 4 << 3;
        QTest::newRow("tab separates") << "A\tB\r\n" << 4 << 3;
        QTest::newRow("more than four rows") << "A\r\n1\r\n2\r\n3\r\n4\r\n" << 5 << 2;
    }
    void loadSizesTheGrid()
    {
        QFETCH(QString, text);
        Grid grid(text);
        QTEST(grid.list.RowCount(), "rows");
        QTEST(grid.list.ColumnCount(), "columns");
        QCOMPARE(grid.list.Dirty(), false);
    }

    void saveLoadRoundTripKeepsEmptyCells()
    {
        const QString text = QStringLiteral("Name,Size,Note\r\nA,,\"x, y\"\r\n,,\r\nC,5\" wide,\r\n");
        Grid grid(text);
        QCOMPARE(grid.row(3), (QStringList{"C", "5\" wide", "", ""}));
        grid.list.Save();
        QCOMPARE(grid.stored(), text);
        QVERIFY(grid.document.Dirty());
        // A second load and save changes nothing: no column or row creeps in.
        grid.list.Load();
        grid.list.Save();
        QCOMPARE(grid.stored(), text);
    }

    void reservedNameIsNeverStored()
    {
        Grid grid;
        grid.list.setName(QStringLiteral("add solution set selector"));
        grid.type(QStringLiteral("x"));
        grid.list.Save();
        QVERIFY(!SelectorStore(grid.document.Storage()).Exists(grid.list.Name()));
    }

    void typingReplacesAndEscapeRestores()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(1, 1);
        QVERIFY(grid.list.GridEdit(QLatin1Char('7')));
        QCOMPARE(grid.list.EditText(), QStringLiteral("7"));
        QVERIFY(grid.list.EditKeyCode(CvCriteriaList::KeyEscape));
        QVERIFY(!grid.list.EditBoxVisible());
        QCOMPARE(grid.list.Cell(1, 1), QStringLiteral("3"));
        QVERIFY(grid.list.UndoRecords().isEmpty());
        QVERIFY(!grid.list.Dirty());
    }

    void keysCommitAndMove_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("enter") << int(CvCriteriaList::KeyReturn) << 3 << 1;
        QTest::newRow("down") << int(CvCriteriaList::KeyDown) << 3 << 1;
        QTest::newRow("up") << int(CvCriteriaList::KeyUp) << 1 << 1;
        QTest::newRow("tab") << int(CvCriteriaList::KeyTab) << 2 << 2;
    }
    void keysCommitAndMove()
    {
        QFETCH(int, key);
        Grid grid(Table);
        grid.list.setCurrentCell(2, 1);
        grid.type(QStringLiteral("9.5"));
        QVERIFY(grid.list.EditKeyCode(key));
        QCOMPARE(grid.list.Cell(2, 1), QStringLiteral("9.5"));
        QTEST(grid.list.CurrentRow(), "row");
        QTEST(grid.list.CurrentColumn(), "column");
        QCOMPARE(grid.list.UndoRecords(), (QList<Record>{[] {
                     Record r = Record::Of(Record::CellEdited, 2, 1, "4", "9.5");
                     r.selector = "Fruit";
                     return r;
                 }()}));
        QVERIFY(grid.list.Dirty());
    }

    void sameTextRecordsNothing()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(1, 0);
        grid.type(QStringLiteral("Apple"));
        grid.list.setCurrentCell(2, 0); // leaving the cell commits
        QVERIFY(grid.list.UndoRecords().isEmpty());
        QVERIFY(!grid.list.Dirty());
    }

    void blankAndControlKeysOpenNothing()
    {
        Grid grid(Table);
        QVERIFY(!grid.list.GridEdit(QLatin1Char(' ')));
        QVERIFY(!grid.list.GridEdit(QLatin1Char('\r')));
        QVERIFY(!grid.list.EditBoxVisible());
    }

    void editingAtTheEdgeAddsSpareRowAndColumn()
    {
        Grid grid(Table); // 4 rows, 4 columns
        grid.list.setCurrentCell(3, 3);
        grid.type(QStringLiteral("x"));
        QCOMPARE(grid.list.RowCount(), 5);
        QCOMPARE(grid.list.ColumnCount(), 5);
        QVERIFY(grid.list.EditKeyCode(CvCriteriaList::KeyDown));
        QCOMPARE(grid.list.CurrentRow(), 4);
        grid.type(QStringLiteral("y"));
        QCOMPARE(grid.list.RowCount(), 6);
        QVERIFY(grid.list.EditKeyCode(CvCriteriaList::KeyReturn));
        QCOMPARE(grid.list.CurrentRow(), 5);
        QCOMPARE(grid.list.RowCount(), 6);
    }

    void backspaceAndDeleteEmptySelection()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(1, 0);
        grid.list.setSelectionCorner(2, 1);
        QVERIFY(grid.list.EditKeyCode(CvCriteriaList::KeyDelete));
        QCOMPARE(grid.row(1), (QStringList{"", "", "Red", ""}));
        QCOMPARE(grid.row(2), (QStringList{"", "", "Green", ""}));
        grid.list.setCurrentCell(3, 2);
        QVERIFY(grid.list.GridEdit(QChar(CvCriteriaList::KeyBack)));
        QCOMPARE(grid.list.Cell(3, 2), QString());
        QVERIFY(grid.list.Dirty());
    }

    void copyPutsTabsAndCarriageReturns()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(1, 0);
        QSignalSpy filled(&grid.list, &CvCriteriaList::clipboardFilled);
        grid.list.setSelectionCorner(2, 2);
        grid.list.Copy();
        QCOMPARE(grid.prompt.ClipboardText(), QStringLiteral("Apple\t3\tRed\rPear\t4\tGreen"));
        QCOMPARE(filled.count(), 1);
        grid.list.Cut();
        QCOMPARE(grid.row(1), (QStringList{"", "", "", ""}));
    }

    void pasteIsClippedToTheGrid_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("lastRow");
        QTest::addColumn<int>("rows");
        QTest::newRow("three rows at the last row") << "a\tb\rc\td\re\tf" << 3 << 0 << QStringList{"a", "b", "Blue", ""} << 4;
        QTest::newRow("wide text at the last column") << "a\tb\tc" << 3 << 3 << QStringList{"Plum", "", "Blue", "a"} << 4;
        QTest::newRow("crlf rows, trailing line end") << "a\r\nb\r\n" << 2 << 1 << QStringList{"Plum", "b", "Blue", ""} << 4;
        QTest::newRow("short second row leaves cells") << "a\tb\rc" << 2 << 0 << QStringList{"c", "", "Blue", ""} << 4;
    }
    void pasteIsClippedToTheGrid()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, row);
        QFETCH(int, column);
        Grid grid(Table);
        grid.prompt.SetClipboardText(clipboard);
        grid.list.setCurrentCell(row, column);
        grid.list.Paste();
        QTEST(grid.row(3), "lastRow");
        QTEST(grid.list.RowCount(), "rows");
        QCOMPARE(grid.list.ColumnCount(), 4);
        QVERIFY(grid.list.Dirty());
    }

    void firstPropertyRefusals_data()
    {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<QString>("message");
        QTest::newRow("insert") << true << "Can not insert before the first property.";
        QTest::newRow("delete") << false << "Can not delete the first property.";
    }
    void firstPropertyRefusals()
    {
        QFETCH(bool, insert);
        QFETCH(QString, message);
        Grid grid(Table);
        grid.list.setCurrentCell(2, 0);
        insert ? grid.list.InsertColumn() : grid.list.DeleteColumn();
        QCOMPARE(grid.prompt.shownTexts(), QStringList{message});
        QCOMPARE(grid.prompt.shown().first().title, QStringLiteral("Warning"));
        QCOMPARE(grid.list.ColumnCount(), 4);
        QCOMPARE(grid.row(0), (QStringList{"Name", "Price", "Colour", ""}));
        QVERIFY(grid.list.UndoRecords().isEmpty());
        QVERIFY(!grid.list.Dirty());
    }

    void insertAndDeleteColumnRecordTheirCells()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(2, 1);
        grid.list.InsertColumn();
        QCOMPARE(grid.row(0), (QStringList{"Name", "", "Price", "Colour", ""}));
        QCOMPARE(grid.row(2), (QStringList{"Pear", "", "4", "Green", ""}));
        QCOMPARE(grid.list.Selection(), (CvCriteriaList::CellRange{1, 1, 3, 1}));
        grid.list.setCurrentCell(1, 2);
        grid.list.DeleteColumn();
        QCOMPARE(grid.row(0), (QStringList{"Name", "", "Colour", ""}));
        const QList<Record>& records = grid.list.UndoRecords();
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).kind, int(Record::ColumnInserted));
        QCOMPARE(records.at(0).column, 1);
        QCOMPARE(records.at(1).kind, int(Record::ColumnDeleted));
        QCOMPARE(records.at(1).column, 2);
        QCOMPARE(records.at(1).cells, (QStringList{"Price", "3", "4", ""}));
    }

    void rowsAndRenameRecord()
    {
        Grid grid(Table);
        grid.list.setCurrentCell(1, 0);
        grid.list.InsertRow();
        QCOMPARE(grid.list.CurrentRow(), 2);
        QCOMPARE(grid.row(2), (QStringList{"", "", "", ""}));
        grid.list.setCurrentCell(3, 0);
        grid.list.DeleteRow();
        QCOMPARE(grid.row(3), (QStringList{"Plum", "", "Blue", ""}));
        grid.list.RenameColumn(QStringLiteral("Cost"));
        grid.list.RenameColumn(QStringLiteral("Cost"));
        grid.prompt.QueueText(QString());
        grid.list.RenameColumn();
        QCOMPARE(grid.row(0).first(), QStringLiteral("Cost"));
        QList<int> kinds;
        for (const Record& r : grid.list.UndoRecords())
            kinds.append(r.kind);
        QCOMPARE(kinds, (QList<int>{Record::RowInserted, Record::RowDeleted, Record::PropertyRenamed}));
        QCOMPARE(grid.list.UndoRecords().at(1).cells, (QStringList{"Pear", "4", "Green", ""}));
        QCOMPARE(grid.list.UndoRecords().at(2).oldText, QStringLiteral("Name"));
        QCOMPARE(grid.list.UndoRecords().at(2).newText, QStringLiteral("Cost"));
    }

    void doubleClickOnWholeColumnRenames()
    {
        Grid grid(Table);
        grid.list.SelectColumn(2);
        grid.prompt.QueueText(QStringLiteral("Hue"));
        grid.list.DoubleClick();
        QCOMPARE(grid.list.Cell(0, 2), QStringLiteral("Hue"));
        grid.list.setCurrentCell(1, 2);
        grid.list.DoubleClick();
        QVERIFY(grid.list.EditBoxVisible());
        QCOMPARE(grid.list.EditText(), QStringLiteral("Red"));
    }
};

KV_REGISTER_TEST(tst_CvCriteriaList)
#include "tst_CvCriteriaList.moc"
