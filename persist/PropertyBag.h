#pragma once

#include "persist/IClassLookup.h"
#include "base/StorageResult.h"

#include <QString>
#include <QVariant>

#include <memory>

class PropertyTable;
class StorageNode;
struct PropertyValue;

// Named properties of one persisted object, nested objects included. Stored as JSON text in a
// node value: {"class": id, "props": {name: value | nested bag}}. A value equal to its default
// is left out and reads back as that default. Values keep their kind: empty (JSON null), bool,
// number or text; text "12" reads back as text unless the default asks for a number.
class PropertyBag {
public:
    PropertyBag() = default;

    // Scalar values: empty (invalid or null QVariant), bool, integers, double, QString.
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());
    // Gives the stored value converted to the default's type when the default has one,
    // the default when the name is missing or the value does not convert (text "abc" read
    // as a number). With an empty default the value comes back as stored: a whole number as
    // int (qlonglong when larger), any other number as double.
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
    int RootClassId() const;

    QString ToText() const;
    // Empty text gives an empty bag (class id 0), as a node that was never written holds.
    StorageResult FromText(const QString& text);
    StorageResult StoreInto(StorageNode& node) const;
    StorageResult LoadFrom(const StorageNode& node);

private:
    PropertyTable& writable();
    const PropertyValue* find(const QString& name) const;
    // Gives what is wrong with the text, empty when nothing.
    QString parse(const QString& text);

    static PropertyValue toValue(const QVariant& value);
    static QVariant toVariant(const PropertyValue& value);
    static QVariant converted(const PropertyValue& stored, const QVariant& defaultValue);
    static bool sameValue(const PropertyValue& a, const PropertyValue& b);

    // Shared by copies of the bag and by the value a nested bag is written into; a write
    // to a shared table copies it first.
    std::shared_ptr<PropertyTable> m_table;
    IClassLookup* m_lookup = nullptr;
};
