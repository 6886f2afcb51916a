#pragma once

#include "selectors/SelectorUndoRecord.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class CmDocument;
class IPrompt;

// The editor of one internal selector: a grid of text cells whose row 0 is the fixed header
// (the property names) and whose other rows are the items, with an edit box laid over the
// current cell while it is edited. Positions are grid positions (row 0 the header); the
// current cell never lies in the header row, which changes only by renaming a property.
//
// As a Qt model, the header row is the horizontal header and model row r is grid row r + 1.
class CvCriteriaList : public QAbstractTableModel {
    Q_OBJECT
public:
    // Key codes of the in-place editing keys.
    enum Key : int { KeyBack = 8, KeyTab = 9, KeyReturn = 13, KeyEscape = 27, KeyUp = 38, KeyDown = 40, KeyDelete = 46 };

    struct CellRange {
        int top = 1;
        int left = 0;
        int bottom = 1;
        int right = 0;
        bool operator==(const CellRange&) const = default;
    };

    using StatusSink = std::function<void(const QString& text)>;

    CvCriteriaList(CmDocument& document, IPrompt& prompt, QObject* parent = nullptr);

    const QString& Name() const { return m_name; }
    void setName(const QString& name);
    bool Dirty() const { return m_dirty; }
    bool GotFocus() const { return m_gotFocus; }
    void setGotFocus(bool focus) { m_gotFocus = focus; }
    void setUndoRecorder(ISelectorUndoRecorder* recorder) { m_recorder = recorder; }
    void setStatusSink(StatusSink sink) { m_status = std::move(sink); }

    int RowCount() const { return static_cast<int>(m_cells.size()); }
    int ColumnCount() const { return m_columns; }
    QString Cell(int row, int column) const;
    // The table as Save writes it: rows down to the last one with text, as wide as the widest.
    QList<QStringList> UsedCells() const;

    int CurrentRow() const { return m_row; }
    int CurrentColumn() const { return m_column; }
    // Commits an open edit first (leaving the cell); the selection becomes the cell itself.
    void setCurrentCell(int row, int column);
    // The selection runs from the current cell to this corner.
    void setSelectionCorner(int row, int column);
    // The whole column of items, as a click on its header selects it.
    void SelectColumn(int column);
    CellRange Selection() const { return m_selection; }

    void ResetGrid();
    void DefaultSize();
    // No name: asked for, defaulting to the current header text.
    void RenameColumn(const std::optional<QString>& name = std::nullopt);
    void InsertColumn();
    void DeleteColumn();
    void InsertRow();
    void DeleteRow();

    // An edit of one cell as the author's would be, recorded; row 0 renames the property (an
    // empty name is refused there).
    void EditCell(int row, int column, const QString& text);
    // Undo and redo put a recorded change back; nothing is recorded. Positions out of the grid
    // are taken to its edge.
    void PutCell(int row, int column, const QString& text);
    void PutColumn(int column, const QStringList& cells);
    // The cells of the column from the header down, before it goes.
    QStringList TakeColumn(int column);
    void PutRow(int row, const QStringList& cells);
    QStringList TakeRow(int row);

    bool CanCut() const { return m_editVisible && m_editHasSelection; }
    bool CanPaste() const;
    void Cut();
    void Copy();
    void Delete();
    void Paste();

    // From and to the document's storage.
    void Load();
    void Save();
    // Redraws everything from the cells.
    void Refresh();

    // The edit box.
    bool EditBoxVisible() const { return m_editVisible; }
    const QString& EditText() const { return m_editText; }
    void setEditText(const QString& text) { m_editText = text; }
    void setEditHasSelection(bool selected) { m_editHasSelection = selected; }
    // A key typed on the grid; true when it was used.
    bool GridEdit(QChar key);
    // A key pressed in the edit box or on the grid; true when it was used.
    bool EditKeyCode(int key);
    // Renames the column when one whole column is selected, edits the current cell otherwise.
    void DoubleClick();
    // Leaving the cell: an open edit is committed.
    void CommitEdit();

    // What this editor recorded, oldest first, also handed to the recorder when there is one.
    const QList<SelectorUndoRecord>& UndoRecords() const { return m_undoRecords; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void nameChanged(const QString& name);
    void dirtyChanged(bool dirty);
    void currentCellChanged(int row, int column);
    void selectionChanged();
    void editBoxChanged(bool visible);
    // Copy put cells on the clipboard: Paste may be enabled.
    void clipboardFilled();
    void undoRecorded(const SelectorUndoRecord& record);

private:
    void setDirty(bool dirty);
    void record(SelectorUndoRecord entry);
    void setCell(int row, int column, const QString& text);
    void setCells(const QList<QStringList>& rows, int columns);
    void appendRow();
    void appendColumn();
    void insertColumnAt(int column, const QStringList& cells);
    void removeColumnAt(int column);
    // Removes the column and keeps its cells from the header down.
    QStringList takeColumnAt(int column);
    void insertRowAt(int row, const QStringList& cells);
    void removeRowAt(int row);
    QStringList takeRowAt(int row);
    void openEditBox(const QString& text);
    void hideEditBox();
    void moveTo(int row, int column);
    void refuse(int messageId);
    void showStatus(const QString& text) const;
    QString selectionText() const;
    void clearCells(const CellRange& range);

    CmDocument& m_document;
    IPrompt& m_prompt;
    ISelectorUndoRecorder* m_recorder = nullptr;
    StatusSink m_status;
    QString m_name;
    bool m_dirty = false;
    bool m_gotFocus = false;
    QList<QStringList> m_cells;
    int m_columns = 0;
    int m_row = 1;
    int m_column = 0;
    CellRange m_selection;
    bool m_editVisible = false;
    bool m_editHasSelection = false;
    QString m_editText;
    QList<SelectorUndoRecord> m_undoRecords;
};
