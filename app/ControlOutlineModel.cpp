#include "app/ControlOutlineModel.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <algorithm>

namespace {
constexpr int FirstHeaderId = 34203;
} // namespace

ControlOutlineModel::ControlOutlineModel(CmDecisionManager& decisions, QObject* parent)
    : QAbstractTableModel(parent), m_decisions(decisions)
{
    m_catchUp.setSingleShot(true);
    m_catchUp.setInterval(0);
    connect(&m_catchUp, &QTimer::timeout, this, &ControlOutlineModel::catchUp);
    connect(&decisions, &CmDecisionManager::decisionAdded, this, &ControlOutlineModel::added);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &ControlOutlineModel::removed);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this, &ControlOutlineModel::changed);
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &ControlOutlineModel::changed);
    connect(&decisions, &CmDecisionManager::cleared, this, &ControlOutlineModel::rebuild);
    rebuild();
}

void ControlOutlineModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    m_arrivalOf.clear();
    m_waiting.clear();
    m_waitingAt.clear();
    m_changedFirst = 1;
    m_changedLast = 0;
    m_rows.reserve(std::size_t(m_decisions.Count()));
    for (int index = 1; index <= m_decisions.Count(); ++index) {
        if (CmDecisionItem* item = m_decisions.ItemByIndex(index))
            append(item);
    }
    endResetModel();
}

void ControlOutlineModel::append(CmDecisionItem* item)
{
    m_arrivalOf.insert(item, m_nextArrival);
    m_rows.push_back({m_nextArrival++, item});
}

void ControlOutlineModel::added(CmDecisionItem* item)
{
    if (!item || m_arrivalOf.contains(item) || m_waitingAt.contains(item))
        return;
    m_waitingAt.insert(item, m_waiting.size());
    m_waiting.push_back(item);
    m_catchUp.start();
}

void ControlOutlineModel::catchUp()
{
    m_catchUp.stop();
    takeInAdded();
    tellChanged();
}

void ControlOutlineModel::tellChanged()
{
    if (m_changedFirst > m_changedLast)
        return;
    const int first = m_changedFirst;
    const int last = m_changedLast;
    m_changedFirst = 1;
    m_changedLast = 0;
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void ControlOutlineModel::takeInAdded()
{
    const auto count = std::count_if(m_waiting.cbegin(), m_waiting.cend(), [](const CmDecisionItem* item) { return item; });
    if (count > 0) {
        const int first = static_cast<int>(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + static_cast<int>(count) - 1);
        for (CmDecisionItem* item : m_waiting) {
            if (item)
                append(item);
        }
        endInsertRows();
    }
    m_waiting.clear();
    m_waitingAt.clear();
}

void ControlOutlineModel::removed(CmDecisionItem* item)
{
    if (const auto waiting = m_waitingAt.constFind(item); waiting != m_waitingAt.constEnd()) {
        m_waiting[waiting.value()] = nullptr;
        m_waitingAt.erase(waiting);
        return;
    }
    const auto arrival = m_arrivalOf.constFind(item);
    if (arrival == m_arrivalOf.constEnd())
        return;
    const std::size_t position = positionOf(arrival.value());
    m_arrivalOf.erase(arrival);
    if (position == m_rows.size())
        return;
    const int row = static_cast<int>(position);
    // The span told later is counted in rows as they stand now.
    tellChanged();
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(position));
    endRemoveRows();
}

void ControlOutlineModel::changed(CmDecisionItem* item)
{
    const auto arrival = m_arrivalOf.constFind(item);
    if (arrival == m_arrivalOf.constEnd())
        return; // still waiting: it is read when it joins
    const std::size_t position = positionOf(arrival.value());
    if (position == m_rows.size())
        return;
    const int row = static_cast<int>(position);
    if (m_changedFirst > m_changedLast) {
        m_changedFirst = row;
        m_changedLast = row;
    } else {
        m_changedFirst = std::min(m_changedFirst, row);
        m_changedLast = std::max(m_changedLast, row);
    }
    m_catchUp.start();
}

std::size_t ControlOutlineModel::positionOf(quint64 arrival) const
{
    const auto found = std::lower_bound(m_rows.cbegin(), m_rows.cend(), arrival,
                                        [](const Row& row, quint64 wanted) { return row.arrival < wanted; });
    if (found == m_rows.cend() || found->arrival != arrival)
        return m_rows.size();
    return static_cast<std::size_t>(found - m_rows.cbegin());
}

int ControlOutlineModel::rowOf(const CmDecisionItem* item)
{
    takeInAdded();
    const auto arrival = m_arrivalOf.constFind(item);
    if (arrival == m_arrivalOf.constEnd())
        return -1;
    const std::size_t position = positionOf(arrival.value());
    return position == m_rows.size() ? -1 : static_cast<int>(position);
}

CmDecisionItem* ControlOutlineModel::itemAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[std::size_t(row)].item : nullptr;
}

int ControlOutlineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ControlOutlineModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ControlOutlineModel::displayName(const CmDecisionItem& item)
{
    return item.strID().isEmpty() ? QLatin1Char('_') + QString::number(item.intID()) : item.strID();
}

QVariant ControlOutlineModel::data(const QModelIndex& index, int role) const
{
    const CmDecisionItem* item = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!item)
        return {};
    if (role == NumberRole)
        return int(item->intID());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case NameColumn: return displayName(*item);
    case TypeColumn: return item->strControl();
    case CaptionColumn: return item->Caption();
    default: return {};
    }
}

QVariant ControlOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return LoadResString(FirstHeaderId + section);
}
