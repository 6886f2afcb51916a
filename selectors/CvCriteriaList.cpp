#include "selectors/CvCriteriaList.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "selectors/SelectorStore.h"
#include "selectors/SelectorText.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr int DefaultColumns = 4;
constexpr int DefaultRows = 10;
constexpr int MinimumRows = 4;
constexpr int InsertBeforeFirstId = 10907;
constexpr int DeleteFirstId = 10908;
constexpr int RenamePromptId = 10909;
constexpr int RenameTitleId = 10910;
constexpr int WarningTitleId = 13019;
constexpr int LoadingId = 14011;

QStringList emptyRow(int columns)
{
    return QStringList(columns, QString());
}

// Clipboard rows end at CR, CR LF or LF; a line end closing the text starts no row.
QStringList clipboardRows(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList rows = text.split(lineEnd);
    if (rows.size() > 1 && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}
} // namespace

CvCriteriaList::CvCriteriaList(CmDocument& document, IPrompt& prompt, QObject* parent)
    : QAbstractTableModel(parent), m_document(document), m_prompt(prompt)
{
    DefaultSize();
}

void CvCriteriaList::setName(const QString& name)
{
    if (m_name == name)
        return;
    m_name = name;
    emit nameChanged(name);
}

void CvCriteriaList::setDirty(bool dirty)
{
    if (m_dirty == dirty)
        return;
    m_dirty = dirty;
    emit dirtyChanged(dirty);
}

void CvCriteriaList::record(SelectorUndoRecord entry)
{
    entry.selector = m_name;
    m_undoRecords.append(entry);
    if (m_recorder)
        m_recorder->AddCommand(entry);
    emit undoRecorded(entry);
}

QString CvCriteriaList::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns)
        return {};
    return m_cells.at(row).at(column);
}

QList<QStringList> CvCriteriaList::UsedCells() const
{
    int lastRow = 0;
    int width = 1;
    for (int row = 0; row < RowCount(); ++row) {
        const QStringList& cells = m_cells.at(row);
        for (int column = m_columns - 1; column >= 0; --column) {
            if (!cells.at(column).isEmpty()) {
                lastRow = row;
                width = std::max(width, column + 1);
                break;
            }
        }
    }
    QList<QStringList> used;
    used.reserve(lastRow + 1);
    for (int row = 0; row <= lastRow; ++row)
        used.append(m_cells.at(row).mid(0, width));
    return used;
}

void CvCriteriaList::setCell(int row, int column, const QString& text)
{
    m_cells[row][column] = text;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
    else
        emit dataChanged(index(row - 1, column), index(row - 1, column));
}

void CvCriteriaList::setCells(const QList<QStringList>& rows, int columns)
{
    beginResetModel();
    m_editVisible = false;
    m_columns = columns;
    m_cells.clear();
    m_cells.reserve(std::max<qsizetype>(rows.size(), MinimumRows));
    for (const QStringList& row : rows) {
        QStringList cells = row;
        cells.resize(columns);
        m_cells.append(std::move(cells));
    }
    while (m_cells.size() < MinimumRows)
        m_cells.append(emptyRow(columns));
    m_row = 1;
    m_column = 0;
    m_selection = CellRange();
    endResetModel();
    emit editBoxChanged(false);
    emit currentCellChanged(m_row, m_column);
    emit selectionChanged();
}

void CvCriteriaList::ResetGrid()
{
    ProcedureBoundary::run("CvCriteriaList.ResetGrid", [&] { setCells({}, 1); });
}

void CvCriteriaList::DefaultSize()
{
    ProcedureBoundary::run("CvCriteriaList.DefaultSize", [&] {
        setCells(QList<QStringList>(DefaultRows, emptyRow(DefaultColumns)), DefaultColumns);
    });
}

void CvCriteriaList::setCurrentCell(int row, int column)
{
    CommitEdit();
    moveTo(row, column);
}

void CvCriteriaList::moveTo(int row, int column)
{
    m_row = std::clamp(row, 1, RowCount() - 1);
    m_column = std::clamp(column, 0, m_columns - 1);
    m_selection = {m_row, m_column, m_row, m_column};
    emit currentCellChanged(m_row, m_column);
    emit selectionChanged();
}

void CvCriteriaList::setSelectionCorner(int row, int column)
{
    const int cornerRow = std::clamp(row, 1, RowCount() - 1);
    const int cornerColumn = std::clamp(column, 0, m_columns - 1);
    m_selection = {std::min(m_row, cornerRow), std::min(m_column, cornerColumn), std::max(m_row, cornerRow),
                   std::max(m_column, cornerColumn)};
    emit selectionChanged();
}

void CvCriteriaList::SelectColumn(int column)
{
    setCurrentCell(1, column);
    setSelectionCorner(RowCount() - 1, m_column);
}

void CvCriteriaList::refuse(int messageId)
{
    m_prompt.MessageBox(LoadResString(messageId), LoadResString(WarningTitleId), PromptButtons::Ok,
                        PromptIcon::Exclamation);
}

void CvCriteriaList::RenameColumn(const std::optional<QString>& name)
{
    ProcedureBoundary::run("CvCriteriaList.RenameColumn", [&] {
        CommitEdit();
        const QString old = Cell(0, m_column);
        std::optional<QString> answer = name;
        if (!answer)
            answer = m_prompt.InputBox(LoadResString(RenamePromptId), LoadResString(RenameTitleId), old);
        if (!answer || answer->isEmpty() || *answer == old)
            return;
        setCell(0, m_column, *answer);
        setDirty(true);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::PropertyRenamed, 0, m_column, old, *answer));
    });
}

void CvCriteriaList::insertColumnAt(int column, const QStringList& cells)
{
    beginInsertColumns(QModelIndex(), column, column);
    for (int row = 0; row < RowCount(); ++row)
        m_cells[row].insert(column, cells.value(row));
    ++m_columns;
    endInsertColumns();
    emit headerDataChanged(Qt::Horizontal, column, m_columns - 1);
}

void CvCriteriaList::removeColumnAt(int column)
{
    beginRemoveColumns(QModelIndex(), column, column);
    for (QStringList& row : m_cells)
        row.removeAt(column);
    --m_columns;
    endRemoveColumns();
    emit headerDataChanged(Qt::Horizontal, column, m_columns - 1);
}

void CvCriteriaList::InsertColumn()
{
    ProcedureBoundary::run("CvCriteriaList.InsertColumn", [&] {
        CommitEdit();
        if (m_column == 0) {
            refuse(InsertBeforeFirstId);
            return;
        }
        insertColumnAt(m_column, {});
        SelectColumn(m_column);
        setDirty(true);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::ColumnInserted, -1, m_column));
    });
}

void CvCriteriaList::DeleteColumn()
{
    ProcedureBoundary::run("CvCriteriaList.DeleteColumn", [&] {
        CommitEdit();
        if (m_column == 0) {
            refuse(DeleteFirstId);
            return;
        }
        const int column = m_column;
        const QStringList kept = takeColumnAt(column);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::ColumnDeleted, -1, column, {}, {}, kept));
    });
}

QStringList CvCriteriaList::takeColumnAt(int column)
{
    QStringList kept;
    kept.reserve(RowCount());
    for (const QStringList& row : std::as_const(m_cells))
        kept.append(row.at(column));
    removeColumnAt(column);
    moveTo(m_row, column);
    setDirty(true);
    return kept;
}

void CvCriteriaList::insertRowAt(int row, const QStringList& cells)
{
    QStringList filled = cells;
    filled.resize(m_columns);
    beginInsertRows(QModelIndex(), row - 1, row - 1);
    m_cells.insert(row, filled);
    endInsertRows();
}

void CvCriteriaList::removeRowAt(int row)
{
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_cells.removeAt(row);
    endRemoveRows();
}

QStringList CvCriteriaList::takeRowAt(int row)
{
    const QStringList kept = m_cells.at(row);
    removeRowAt(row);
    // The grid keeps one item row to stand on.
    if (RowCount() < 2)
        appendRow();
    moveTo(row, m_column);
    setDirty(true);
    return kept;
}

void CvCriteriaList::appendRow()
{
    insertRowAt(RowCount(), {});
}

void CvCriteriaList::appendColumn()
{
    insertColumnAt(m_columns, {});
}

void CvCriteriaList::InsertRow()
{
    ProcedureBoundary::run("CvCriteriaList.InsertRow", [&] {
        CommitEdit();
        const int row = m_row + 1;
        insertRowAt(row, {});
        moveTo(row, m_column);
        setDirty(true);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::RowInserted, row, -1));
    });
}

void CvCriteriaList::DeleteRow()
{
    ProcedureBoundary::run("CvCriteriaList.DeleteRow", [&] {
        CommitEdit();
        const int row = m_row;
        const QStringList kept = takeRowAt(row);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::RowDeleted, row, -1, {}, {}, kept));
    });
}

void CvCriteriaList::EditCell(int row, int column, const QString& text)
{
    ProcedureBoundary::run("CvCriteriaList.EditCell", [&] {
        CommitEdit();
        if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns)
            return;
        if (row == 0) {
            moveTo(1, column);
            RenameColumn(text);
            return;
        }
        const QString old = Cell(row, column);
        if (text == old)
            return;
        setCell(row, column, text);
        moveTo(row, column);
        setDirty(true);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::CellEdited, row, column, old, text));
    });
}

void CvCriteriaList::PutCell(int row, int column, const QString& text)
{
    ProcedureBoundary::run("CvCriteriaList.PutCell", [&] {
        hideEditBox();
        while (row >= RowCount())
            appendRow();
        while (column >= m_columns)
            appendColumn();
        setCell(row, column, text);
        if (row > 0)
            moveTo(row, column);
        setDirty(true);
    });
}

void CvCriteriaList::PutColumn(int column, const QStringList& cells)
{
    ProcedureBoundary::run("CvCriteriaList.PutColumn", [&] {
        hideEditBox();
        const int at = std::clamp(column, 0, m_columns);
        insertColumnAt(at, cells);
        while (RowCount() < cells.size()) {
            appendRow();
            m_cells.last()[at] = cells.at(RowCount() - 1);
        }
        moveTo(m_row, at);
        setDirty(true);
    });
}

QStringList CvCriteriaList::TakeColumn(int column)
{
    return ProcedureBoundary::runOr("CvCriteriaList.TakeColumn", QStringList(), [&] {
        hideEditBox();
        if (column < 0 || column >= m_columns || m_columns < 2)
            return QStringList();
        return takeColumnAt(column);
    });
}

void CvCriteriaList::PutRow(int row, const QStringList& cells)
{
    ProcedureBoundary::run("CvCriteriaList.PutRow", [&] {
        hideEditBox();
        while (m_columns < cells.size())
            appendColumn();
        const int at = std::clamp(row, 1, RowCount());
        insertRowAt(at, cells);
        moveTo(at, m_column);
        setDirty(true);
    });
}

QStringList CvCriteriaList::TakeRow(int row)
{
    return ProcedureBoundary::runOr("CvCriteriaList.TakeRow", QStringList(), [&] {
        hideEditBox();
        if (row < 1 || row >= RowCount())
            return QStringList();
        return takeRowAt(row);
    });
}

bool CvCriteriaList::CanPaste() const
{
    return ProcedureBoundary::runOr("CvCriteriaList.CanPaste", false,
                                    [&] { return !m_prompt.ClipboardText().isEmpty(); });
}

QString CvCriteriaList::selectionText() const
{
    QStringList lines;
    for (int row = m_selection.top; row <= m_selection.bottom; ++row)
        lines.append(m_cells.at(row).mid(m_selection.left, m_selection.right - m_selection.left + 1).join(u'\t'));
    return lines.join(u'\r');
}

void CvCriteriaList::Copy()
{
    ProcedureBoundary::run("CvCriteriaList.Copy", [&] {
        CommitEdit();
        m_prompt.SetClipboardText(selectionText());
        emit clipboardFilled();
    });
}

void CvCriteriaList::clearCells(const CellRange& range)
{
    for (int row = range.top; row <= range.bottom; ++row) {
        for (int column = range.left; column <= range.right; ++column)
            m_cells[row][column].clear();
    }
    emit dataChanged(index(range.top - 1, range.left), index(range.bottom - 1, range.right));
}

void CvCriteriaList::Delete()
{
    ProcedureBoundary::run("CvCriteriaList.Delete", [&] {
        CommitEdit();
        clearCells(m_selection);
        setDirty(true);
    });
}

void CvCriteriaList::Cut()
{
    ProcedureBoundary::run("CvCriteriaList.Cut", [&] {
        Copy();
        Delete();
    });
}

void CvCriteriaList::Paste()
{
    ProcedureBoundary::run("CvCriteriaList.Paste", [&] {
        CommitEdit();
        const QString text = m_prompt.ClipboardText();
        if (text.isEmpty())
            return;
        const QStringList lines = clipboardRows(text);
        const int width = static_cast<int>(lines.first().count(u'\t')) + 1;
        const int bottom = std::min(m_row + static_cast<int>(lines.size()) - 1, RowCount() - 1);
        const int right = std::min(m_column + width - 1, m_columns - 1);
        for (int row = m_row; row <= bottom; ++row) {
            const QStringList cells = lines.at(row - m_row).split(u'\t');
            for (int column = m_column; column <= right && column - m_column < cells.size(); ++column)
                m_cells[row][column] = cells.at(column - m_column);
        }
        emit dataChanged(index(m_row - 1, m_column), index(bottom - 1, right));
        setSelectionCorner(bottom, right);
        setDirty(true);
    });
}

void CvCriteriaList::showStatus(const QString& text) const
{
    if (m_status)
        m_status(text);
}

void CvCriteriaList::Load()
{
    ProcedureBoundary::run("CvCriteriaList.Load", [&] {
        showStatus(LoadResString(LoadingId));
        SelectorStore store(m_document.Storage());
        QString text;
        SelectorText::Rows rows;
        StorageResult read = store.ReadText(m_name, text);
        if (read)
            read = SelectorText::Read(text, rows);
        showStatus(QString());
        if (!read) {
            ReportError(read, QStringLiteral("CvCriteriaList.Load"));
            return;
        }
        // One spare column beyond line 1, and beyond any later line that is wider.
        int columns = static_cast<int>(rows.value(0).size()) + 1;
        for (const QStringList& row : std::as_const(rows)) {
            if (row.size() > columns)
                columns = static_cast<int>(row.size()) + 1;
        }
        setCells(rows, columns);
        setDirty(false);
    });
}

void CvCriteriaList::Save()
{
    ProcedureBoundary::run("CvCriteriaList.Save", [&] {
        CommitEdit();
        SelectorStore store(m_document.Storage());
        if (StorageResult written = store.WriteText(m_name, SelectorText::Write(UsedCells())); !written) {
            ReportError(written, QStringLiteral("CvCriteriaList.Save"));
            return;
        }
        m_document.setDirty(true);
        setDirty(false);
    });
}

void CvCriteriaList::Refresh()
{
    ProcedureBoundary::run("CvCriteriaList.Refresh", [&] {
        beginResetModel();
        endResetModel();
    });
}

void CvCriteriaList::openEditBox(const QString& text)
{
    if (m_row == RowCount() - 1)
        appendRow();
    if (m_column == m_columns - 1)
        appendColumn();
    m_editText = text;
    m_editVisible = true;
    m_editHasSelection = false;
    emit editBoxChanged(true);
}

void CvCriteriaList::hideEditBox()
{
    if (!m_editVisible)
        return;
    m_editVisible = false;
    m_editHasSelection = false;
    emit editBoxChanged(false);
}

void CvCriteriaList::CommitEdit()
{
    ProcedureBoundary::run("CvCriteriaList.mGrid_LeaveCell", [&] {
        if (!m_editVisible)
            return;
        // The cell is the one the box was opened on, whatever hiding the box sets off.
        const int row = m_row;
        const int column = m_column;
        const QString old = Cell(row, column);
        const QString text = m_editText;
        hideEditBox();
        if (text == old)
            return;
        setCell(row, column, text);
        setDirty(true);
        record(SelectorUndoRecord::Of(SelectorUndoRecord::CellEdited, row, column, old, text));
    });
}

bool CvCriteriaList::GridEdit(QChar key)
{
    return ProcedureBoundary::runOr("CvCriteriaList.GridEdit", false, [&] {
        if (m_editVisible)
            return false;
        if (key.unicode() == KeyBack) {
            Delete();
            return true;
        }
        // A blank or a control character opens nothing: typing replaces the cell.
        if (key.isSpace() || key.category() == QChar::Other_Control)
            return false;
        openEditBox(QString(key));
        return true;
    });
}

bool CvCriteriaList::EditKeyCode(int key)
{
    return ProcedureBoundary::runOr("CvCriteriaList.EditKeyCode", false, [&] {
        if (!m_editVisible) {
            if (key != KeyDelete && key != KeyBack)
                return false;
            Delete();
            return true;
        }
        const int row = m_row;
        const int column = m_column;
        switch (key) {
        case KeyEscape:
            hideEditBox();
            return true;
        case KeyReturn:
        case KeyDown:
            CommitEdit();
            if (row == RowCount() - 1)
                appendRow();
            moveTo(row + 1, column);
            return true;
        case KeyUp:
            CommitEdit();
            moveTo(row - 1, column);
            return true;
        case KeyTab:
            CommitEdit();
            if (column == m_columns - 1)
                appendColumn();
            moveTo(row, column + 1);
            return true;
        default:
            return false;
        }
    });
}

void CvCriteriaList::DoubleClick()
{
    ProcedureBoundary::run("CvCriteriaList.mGrid_DblClick", [&] {
        const bool wholeColumn = m_selection.left == m_selection.right && m_selection.top == 1
                                 && m_selection.bottom == RowCount() - 1 && RowCount() > 2;
        if (wholeColumn)
            RenameColumn();
        else if (!m_editVisible)
            openEditBox(Cell(m_row, m_column));
    });
}

int CvCriteriaList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount() - 1;
}

int CvCriteriaList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant CvCriteriaList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Cell(index.row() + 1, index.column());
}

QVariant CvCriteriaList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return Cell(0, section);
}

Qt::ItemFlags CvCriteriaList::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
