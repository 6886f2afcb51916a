#include "views/ProblemsModel.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"

#include <QBrush>
#include <QColor>

namespace {
constexpr int FirstHeaderId = 34610;
constexpr int ErrorWordId = 34615;
constexpr int WarningWordId = 34616;
constexpr int PropertyLineId = 34632;
// Wide enough for any line of an options block.
constexpr int LineDigits = 6;
} // namespace

ProblemsModel::ProblemsModel(QObject* parent) : QAbstractTableModel(parent) {}

ProblemsModel::Row ProblemsModel::rowOf(const LiveValidation::Row& finding)
{
    const ValidationFindings::Entry& entry = finding.entry;
    return {entry.isError,
            entry.message,
            entry.control(),
            entry.property(),
            entry.extra,
            finding.number,
            entry.line};
}

void ProblemsModel::setRows(QList<Row> rows)
{
    if (rows == m_rows)
        return;
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ProblemsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ProblemsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& row = m_rows.at(index.row());
    if (role == OrderRole)
        return index.row();
    if (role == ErrorRole)
        return row.isError;
    if (role == SortRole && index.column() == PropertyColumn) {
        // Line 10 after line 9, not after line 1.
        return row.line < 0 ? row.property
                            : row.property + QChar(u'\n') + QString::number(row.line).rightJustified(LineDigits, u'0');
    }
    if (role == SortRole)
        role = Qt::DisplayRole;
    if (role == Qt::ForegroundRole && index.column() == KindColumn)
        return QBrush(row.isError ? QColor(190, 20, 20) : QColor(150, 110, 0));
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case KindColumn: return LoadResString(row.isError ? ErrorWordId : WarningWordId);
    case MessageColumn: return row.message;
    case ControlColumn: return row.control;
    case PropertyColumn: return shownProperty(row);
    case DetailColumn: return row.detail;
    default: return {};
    }
}

QString ProblemsModel::shownProperty(const Row& row)
{
    if (row.line < 0 || row.property.isEmpty())
        return row.property;
    // Counted from 1, as the options editor counts them.
    return LoadResString(PropertyLineId).arg(row.property).arg(row.line + 1);
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return LoadResString(FirstHeaderId + section);
}
