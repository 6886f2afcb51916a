#include "runtime/SelectorTable.h"

#include <algorithm>
#include <bit>

namespace {

bool isBlankRow(const QStringList& row)
{
    for (const QString& cell : row)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

const RuntimeValue& emptyValue()
{
    static const RuntimeValue empty = RuntimeValue::text(QString());
    return empty;
}

} // namespace

SelectorTable::SelectorTable(const QString& name, const CsvTable::Rows& rows) : m_name(name)
{
    if (rows.isEmpty())
        return;
    for (const QString& property : rows.first()) {
        m_columns.insert(property.trimmed().toCaseFolded(), static_cast<int>(m_properties.size()));
        m_properties.append(property.trimmed());
    }
    m_cells.resize(static_cast<std::size_t>(m_properties.size()));
    m_numbers.resize(m_cells.size());
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        if (isBlankRow(row))
            continue;
        const int item = static_cast<int>(m_names.size());
        for (std::size_t column = 0; column < m_cells.size(); ++column) {
            m_cells[column].push_back(RuntimeValue::guess(row.value(qsizetype(column))));
            const RuntimeValue& cell = m_cells[column].back();
            m_numbers[column].push_back(cell.kind() == RuntimeValue::Kind::Number ? *cell.toNumber() : std::nan(""));
        }
        m_items.insert(row.first().trimmed().toCaseFolded(), item);
        m_names.append(row.first());
        m_order.append(item);
    }
    m_removedBy.assign(static_cast<std::size_t>(m_names.size()), -1);
    m_remaining = m_order;
    m_indexes.resize(m_cells.size());
}

QString SelectorTable::itemName(int item) const
{
    return m_names.at(item);
}

const RuntimeValue& SelectorTable::cell(int item, int column) const
{
    if (column < 0 || column >= int(m_cells.size()))
        return emptyValue();
    return m_cells[static_cast<std::size_t>(column)][static_cast<std::size_t>(item)];
}

int SelectorTable::column(const QString& property) const
{
    return m_columns.value(property.trimmed().toCaseFolded(), -1);
}

int SelectorTable::findItem(const QString& name) const
{
    return m_items.value(name.trimmed().toCaseFolded(), -1);
}

const QList<int>& SelectorTable::remaining() const
{
    if (m_remainingStale) {
        QList<int> items;
        items.reserve(remainingCount());
        for (const int item : m_order)
            if (!isRemoved(item))
                items.append(item);
        m_remaining = std::move(items);
        m_remainingStale = false;
    }
    return m_remaining;
}

const SelectorRemoval* SelectorTable::removalOf(int item) const
{
    const int index = m_removedBy.at(static_cast<std::size_t>(item));
    return index >= 0 ? &m_removals.at(static_cast<std::size_t>(index)) : nullptr;
}

void SelectorTable::journal(int item, const SelectorRemoval& reason)
{
    m_removedBy[static_cast<std::size_t>(item)] = static_cast<int>(m_removals.size());
    m_removals.push_back(reason);
    m_removals.back().item = item;
}

void SelectorTable::reorder(const QList<int>& remainingInOrder)
{
    QList<int> order = remainingInOrder;
    order.reserve(m_order.size());
    for (const int item : std::as_const(m_order))
        if (isRemoved(item))
            order.append(item);
    if (order != m_order)
        m_order = std::move(order);
    m_remaining = remainingInOrder;
    m_remainingStale = false;
}

void SelectorTable::restore(const Mark& mark)
{
    const bool unchanged = qsizetype(m_removals.size()) == mark.removals && m_order.isSharedWith(mark.order);
    while (qsizetype(m_removals.size()) > mark.removals) {
        m_removedBy[static_cast<std::size_t>(m_removals.back().item)] = -1;
        m_removals.pop_back();
    }
    m_order = mark.order;
    m_sortedBy = mark.sortedBy;
    m_remainingStale = m_remainingStale || !unchanged;
}

const SelectorColumnIndex& SelectorTable::columnIndex(int column) const
{
    auto& index = m_indexes.at(static_cast<std::size_t>(column));
    if (!index)
        index = std::make_shared<const SelectorColumnIndex>(m_cells[static_cast<std::size_t>(column)],
                                                    m_numbers[static_cast<std::size_t>(column)]);
    return *index;
}

void SelectorTable::removeFound(std::vector<int>& found, const SelectorRemoval& reason)
{
    if (found.empty())
        return;
    // The journal takes the items in their current order. Many are picked out in one walk of
    // that order; a few are sorted by their places.
    if (found.size() * std::bit_width(found.size()) >= static_cast<std::size_t>(m_order.size())) {
        std::vector<bool> isFound(m_removedBy.size(), false);
        for (const int item : found)
            isFound[static_cast<std::size_t>(item)] = true;
        for (const int item : std::as_const(m_order)) {
            if (isFound[static_cast<std::size_t>(item)])
                journal(item, reason);
        }
        m_remainingStale = true;
        return;
    }
    if (!m_positionsOf.isSharedWith(m_order) || m_positions.empty()) {
        m_positions.assign(m_removedBy.size(), 0);
        for (qsizetype i = 0; i < m_order.size(); ++i)
            m_positions[static_cast<std::size_t>(m_order.at(i))] = static_cast<int>(i);
        m_positionsOf = m_order;
    }
    std::sort(found.begin(), found.end(), [this](int a, int b) {
        return m_positions[static_cast<std::size_t>(a)] < m_positions[static_cast<std::size_t>(b)];
    });
    for (const int item : found)
        journal(item, reason);
    m_remainingStale = true;
}
