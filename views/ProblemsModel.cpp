#include "views/ProblemsModel.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"

#include <QBrush>
#include <QColor>

namespace {
constexpr int FirstHeaderId = 34610;
constexpr int ErrorWordId = 34615;
constexpr int WarningWordId = 34616;
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
    if (role == Qt::ForegroundRole && index.column() == KindColumn)
        return QBrush(row.isError ? QColor(190, 20, 20) : QColor(150, 110, 0));
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case KindColumn: return LoadResString(row.isError ? ErrorWordId : WarningWordId);
    case MessageColumn: return row.message;
    case ControlColumn: return row.control;
    case PropertyColumn: return row.property;
    case DetailColumn: return row.detail;
    default: return {};
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return LoadResString(FirstHeaderId + section);
}
