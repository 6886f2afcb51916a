#include "testmode/DecisionValuesModel.h"

#include "base/ResourceStrings.h"

namespace {
constexpr int FirstStatusId = 32811;
constexpr int FirstColumnId = 32815;
} // namespace

DecisionValuesModel::DecisionValuesModel(QObject* parent) : QAbstractTableModel(parent) {}

void DecisionValuesModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    endResetModel();
}

int DecisionValuesModel::ensureRow(const QString& control)
{
    const QString key = control.toCaseFolded();
    const auto found = m_index.constFind(key);
    if (found != m_index.cend())
        return *found;
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(Row{control, QString(), Status::Current});
    m_index.insert(key, at);
    endInsertRows();
    return at;
}

void DecisionValuesModel::setRow(const QString& control, const QString& value, Status status)
{
    const int at = ensureRow(control);
    m_rows[at].value = value;
    m_rows[at].status = status;
    emit dataChanged(index(at, ValueColumn), index(at, StatusColumn));
}

const DecisionValuesModel::Row* DecisionValuesModel::row(const QString& control) const
{
    const int at = rowOf(control);
    return at < 0 ? nullptr : &m_rows.at(at);
}

int DecisionValuesModel::rowOf(const QString& control) const
{
    return m_index.value(control.toCaseFolded(), -1);
}

QString DecisionValuesModel::statusText(Status status)
{
    return LoadResString(FirstStatusId + static_cast<int>(status));
}

int DecisionValuesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DecisionValuesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DecisionValuesModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& shown = m_rows.at(index.row());
    switch (index.column()) {
    case ControlColumn: return shown.control;
    case ValueColumn: return shown.value;
    case StatusColumn: return statusText(shown.status);
    default: return {};
    }
}

QVariant DecisionValuesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    return LoadResString(FirstColumnId + section);
}
