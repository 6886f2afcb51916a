#pragma once

#include "persist/IClassLookup.h"
#include "persist/StorageResult.h"

#include <QJsonObject>
#include <QString>
#include <QVariant>

class StorageNode;

// Named properties of one persisted object, nested objects included. Stored as JSON text in a
// node value: {"class": id, "props": {name: value | nested bag}}. A value equal to its default
// is left out and reads back as that default.
class PropertyBag {
public:
    PropertyBag() = default;

    // Scalar values: empty (invalid or null QVariant), bool, integers, double, QString.
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());
    // Gives the stored value converted to the default's type when the default has one,
    // the default when the name is missing.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = QVariant()) const;

    // Nested objects, written with their class id, read back through the class lookup.
    void WriteObject(const QString& name, const IClassPersistable& object);
    // Empty when the name is missing, holds no object or the lookup has no class for the id.
    ClassInstance ReadObject(const QString& name) const;

    bool Contains(const QString& name) const;

    void SetClassLookup(IClassLookup* lookup) { m_lookup = lookup; }
    IClassLookup* ClassLookup() const { return m_lookup; }

    // Root object: written into this bag, then the bag is stored into a node; and back.
    void WriteRoot(const IClassPersistable& root);
    bool ReadRoot(IClassPersistable& root) const;
    int RootClassId() const { return m_classId; }

    QString ToText() const;
    StorageResult FromText(const QString& text);
    StorageResult StoreInto(StorageNode& node) const;
    StorageResult LoadFrom(const StorageNode& node);

private:
    int m_classId = 0;
    QJsonObject m_props;
    IClassLookup* m_lookup = nullptr;
};
