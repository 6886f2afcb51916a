#pragma once

#include "persist/CsvTable.h"
#include "runtime/RuntimeValue.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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
    // Where a run stood, so that Back can return to it. The order is shared, not copied,
    // until a sort changes it.
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
    // -1 when the selector has no such property (compared without regard to case).
    int column(const QString& property) const;
    // -1 when no item has this name (compared without regard to case).
    int findItem(const QString& name) const;

    bool isRemoved(int item) const { return m_removedBy.at(item) >= 0; }
    // The remaining items in their order.
    QList<int> remaining() const;
    const QList<int>& order() const { return m_order; }
    // Nothing when the item is still there.
    const SelectorRemoval* removalOf(int item) const;
    const std::vector<SelectorRemoval>& removals() const { return m_removals; }

    void remove(SelectorRemoval removal);
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
    // Column by column: a !KILL or !SORT reads one property of every item.
    std::vector<std::vector<RuntimeValue>> m_cells;
    QHash<QString, int> m_items;
    QStringList m_names; // first cells as written
    QList<int> m_order;
    std::vector<int> m_removedBy; // index into m_removals, -1 while the item remains
    std::vector<SelectorRemoval> m_removals;
    QString m_sortedBy;
};
