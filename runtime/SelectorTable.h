#pragma once

#include "persist/CsvTable.h"
#include "runtime/RuntimeValue.h"
#include "runtime/SelectorColumnIndex.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

// Why an item is gone: the control, its option (or "_PREACTION") and the !KILL line.
struct SelectorRemoval {
    int item = -1;
    QString control;
    QString option;
    QString action;
};

// One selector during a run: its items with their cells read once (numbers parsed), the order
// in which the remaining items stand, and a journal of removals that Back can wind back.
class SelectorTable {
public:
    // Where a run stood, so that Back can return to it: the removals made since are the
    // journal's tail, and the order is shared, not copied, until a sort changes it.
    struct Mark {
        QList<int> order;
        qsizetype removals = 0;
        QString sortedBy;
    };

    SelectorTable(const QString& name, const CsvTable::Rows& rows);

    const QString& name() const { return m_name; }
    const QStringList& properties() const { return m_properties; }
    int itemCount() const { return static_cast<int>(m_names.size()); }
    // The item's identity: its first cell.
    QString itemName(int item) const;
    const RuntimeValue& cell(int item, int column) const;
    // The cell as a plain number; NaN when it is not one (the column must exist).
    double numberAt(int item, int column) const
    {
        return m_numbers[static_cast<std::size_t>(column)][static_cast<std::size_t>(item)];
    }
    // -1 when the selector has no such property (compared without regard to case).
    int column(const QString& property) const;
    // -1 when no item has this name (compared without regard to case).
    int findItem(const QString& name) const;

    bool isRemoved(int item) const { return m_removedBy.at(static_cast<std::size_t>(item)) >= 0; }
    // The remaining items in their order.
    const QList<int>& remaining() const;
    int remainingCount() const { return itemCount() - static_cast<int>(m_removals.size()); }
    // All items: the remaining ones in their order, removed ones among or after them.
    const QList<int>& order() const { return m_order; }
    // Nothing when the item is still there.
    const SelectorRemoval* removalOf(int item) const;
    const std::vector<SelectorRemoval>& removals() const { return m_removals; }

    // Removes each remaining item for which the test holds, for this reason; the number removed.
    // Every item that remained when it began is tested, in order; a test that throws leaves the
    // removals made before it in place.
    template <typename Test>
    int removeWhere(Test&& test, const SelectorRemoval& reason);

    // What one removal pass did: items removed, and items it looked at (tested or taken from
    // the index).
    struct Pass {
        int removed = 0;
        int examined = 0;
    };
    // The same removals, journalled in the same order; when the test is the comparison given,
    // the column's index hands over the items that can match, so that only those are looked at.
    // Such a test never throws (a cell against a worked-out constant); a test that throws there
    // removes nothing.
    template <typename Test>
    Pass removeWhere(Test&& test, const SelectorRemoval& reason, const std::optional<CellComparison>& comparison);
    // Built on first use, and shared by copies of the table.
    const SelectorColumnIndex& columnIndex(int column) const;
    // The remaining items in this order, the removed ones after them; keeps the shared order
    // when nothing moved.
    void reorder(const QList<int>& remainingInOrder);

    Mark mark() const { return Mark{m_order, static_cast<qsizetype>(m_removals.size()), m_sortedBy}; }
    void restore(const Mark& mark);

    // The sort the order stands in, when its keys read nothing but the items' own cells:
    // removing items keeps such an order, so the same sort again has nothing to do.
    const QString& sortedBy() const { return m_sortedBy; }
    void setSortedBy(const QString& sort) { m_sortedBy = sort; }

private:
    QString m_name;
    QStringList m_properties;
    QHash<QString, int> m_columns;
    void journal(int item, const SelectorRemoval& reason);

    // Column by column: a !KILL or !SORT reads one property of every item.
    std::vector<std::vector<RuntimeValue>> m_cells;
    std::vector<std::vector<double>> m_numbers; // the same cells packed as numbers, NaN for others
    QHash<QString, int> m_items;
    QStringList m_names; // first cells as written
    QList<int> m_order;
    // m_order without the removed items; made again from m_order when stale (after Back).
    mutable QList<int> m_remaining;
    mutable bool m_remainingStale = false;
    std::vector<int> m_removedBy; // index into m_removals, -1 while the item remains
    std::vector<SelectorRemoval> m_removals;
    QString m_sortedBy;
    mutable std::vector<std::shared_ptr<const SelectorColumnIndex>> m_indexes;
    // Each item's place in m_positionsOf, which is m_order when they share their data.
    mutable std::vector<int> m_positions;
    mutable QList<int> m_positionsOf;

    // Journals the found items in the order they stand and leaves the remaining list to be
    // made again when next read.
    void removeFound(std::vector<int>& found, const SelectorRemoval& reason);
};

template <typename Test>
int SelectorTable::removeWhere(Test&& test, const SelectorRemoval& reason)
{
    remaining();
    // Compacts in place; the guard closes the gap when a test throws.
    struct Compaction {
        QList<int>& items;
        qsizetype read = 0;
        qsizetype write = 0;
        ~Compaction()
        {
            for (; read < items.size(); ++read)
                items[write++] = items[read];
            items.resize(write);
        }
    } pass{m_remaining};
    int removed = 0;
    int* items = m_remaining.data();
    for (const qsizetype count = m_remaining.size(); pass.read < count; ++pass.read) {
        const int item = items[pass.read];
        if (test(item)) {
            journal(item, reason);
            ++removed;
        } else {
            items[pass.write++] = item;
        }
    }
    return removed;
}

template <typename Test>
SelectorTable::Pass SelectorTable::removeWhere(Test&& test, const SelectorRemoval& reason,
                                              const std::optional<CellComparison>& comparison)
{
    const std::optional<SelectorColumnIndex::Lookup> found =
        comparison ? columnIndex(comparison->column).lookup(comparison->op, *comparison->constant) : std::nullopt;
    if (!found) {
        const int examined = remainingCount();
        return Pass{removeWhere(std::forward<Test>(test), reason), examined};
    }
    Pass pass;
    std::vector<int> removed;
    for (const std::span<const int> items : found->matching) {
        pass.examined += static_cast<int>(items.size());
        for (const int item : items)
            if (!isRemoved(item))
                removed.push_back(item);
    }
    for (const std::span<const int> items : found->toTest) {
        pass.examined += static_cast<int>(items.size());
        for (const int item : items)
            if (!isRemoved(item) && test(item))
                removed.push_back(item);
    }
    pass.removed = static_cast<int>(removed.size());
    removeFound(removed, reason);
    return pass;
}
