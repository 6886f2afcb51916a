#pragma once

#include <QString>
#include <QStringList>

// One selector command as the undo history keeps it. Which fields a kind fills:
//   10 created, 11 deleted (oldText: the stored text as it was), 13 renamed
//   (oldText, newText: the names); 14 column inserted and 17 column deleted (column; cells:
//   the column's cells from the header down, for 17), 15 row inserted and 18 row deleted
//   (row; cells: the row's cells, for 18), 16 cell edited (row, column, oldText, newText),
//   19 property renamed (column, oldText, newText).
// Rows and columns are grid positions: row 0 is the header, column 0 the first property.
struct SelectorUndoRecord {
    enum Kind : int {
        Created = 10,
        Deleted = 11,
        Renamed = 13,
        ColumnInserted = 14,
        RowInserted = 15,
        CellEdited = 16,
        ColumnDeleted = 17,
        RowDeleted = 18,
        PropertyRenamed = 19,
    };

    int kind = 0;
    QString selector;
    int row = -1;
    int column = -1;
    QString oldText;
    QString newText;
    QStringList cells;
    // Kinds 10, 11 and 13: the selector is an external one (its settings record).
    bool external = false;

    static SelectorUndoRecord Of(int kind, int row, int column, QString oldText = QString(),
                                 QString newText = QString(), QStringList cells = QStringList())
    {
        SelectorUndoRecord entry;
        entry.kind = kind;
        entry.row = row;
        entry.column = column;
        entry.oldText = std::move(oldText);
        entry.newText = std::move(newText);
        entry.cells = std::move(cells);
        return entry;
    }

    bool operator==(const SelectorUndoRecord&) const = default;
};

// Where selector commands hand their undo records; the undo history implements it.
class ISelectorUndoRecorder {
public:
    virtual ~ISelectorUndoRecorder() = default;
    virtual void AddCommand(const SelectorUndoRecord& record) = 0;

protected:
    ISelectorUndoRecorder() = default;
    ISelectorUndoRecorder(const ISelectorUndoRecorder&) = default;
    ISelectorUndoRecorder& operator=(const ISelectorUndoRecorder&) = default;
};
