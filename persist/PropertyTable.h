#pragma once

#include "persist/PropertyValue.h"

#include <QHash>
#include <QString>

#include <vector>

// The named values of one persisted object in the order written, and the object's class id.
// Readers mostly ask for the names in the order they were written, so a lookup first tries
// the entry after the last one found; small tables are searched through, large ones hashed.
class PropertyTable {
public:
    struct Entry {
        QString name;
        PropertyValue value;
    };

    int classId() const { return m_classId; }
    void setClassId(int classId) { m_classId = classId; }

    // Replaces the value of a name already there, keeping its place.
    void set(const QString& name, PropertyValue value);
    void remove(const QString& name);
    const PropertyValue* find(const QString& name) const;
    const std::vector<Entry>& entries() const { return m_entries; }

private:
    qsizetype indexOf(const QString& name) const;
    qsizetype search(const QString& name) const;

    int m_classId = 0;
    std::vector<Entry> m_entries;
    mutable QHash<QString, qsizetype> m_index; // empty until the table grows large
    mutable qsizetype m_hint = 0;
};
