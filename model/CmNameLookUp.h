#pragma once

#include "persist/IClassPersistable.h"

#include <QString>

#include <vector>

// From decision number to the decision's key. Numbers are small and dense (they are the
// diagram's entity keys), so a table indexed by number beats a hash here.
class CmNameLookUp final : public IClassPersistable {
public:
    static constexpr int ClassId = 6;
    // A new table holds the numbers 0 to InitialRoom; writing beyond its end grows it to the
    // written number plus GrowthRoom.
    static constexpr int InitialRoom = 10;
    static constexpr int GrowthRoom = 10;
    // Numbers are control IDs, which go no higher.
    static constexpr qint16 MaxNumber = 32767;

    CmNameLookUp();

    // Back to the new, empty table.
    void Clear();
    // Empties the entry; a number outside the table has nothing to empty.
    void Remove(int number);

    // The key of the number, empty when none was written. Reading never grows the table.
    QString Index(int number) const;
    // Throws KvError for a negative number: the table starts at 0.
    void setIndex(int number, const QString& key);

    // The highest number written since the table was new.
    int Count() const { return m_count; }
    // The highest number the table holds without growing.
    int Room() const { return static_cast<int>(m_keys.size()) - 1; }

    int IClassPersistable_UCID() const override { return ClassId; }
    // Entry 0 is written but not read back.
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

private:
    bool holds(int number) const { return number >= 0 && number <= Room(); }
    void makeRoomFor(int number);

    std::vector<QString> m_keys;
    int m_count = 0;
};
