#pragma once

#include "persist/IClassLookup.h"
#include "base/StorageResult.h"

#include <QString>
#include <QVariant>

#include <initializer_list>
#include <memory>

class PropertyTable;
class StorageDocument;
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
    // The count stored under name of the values numbered from 1 with one of the bases
    // (base1, base2 ...), bounded by what the bag holds: no more than its number of values and
    // no more than the highest number it holds. What a damaged or hostile file claims costs no
    // more than what it carries. A missing or negative count, or one that is no number, is 0.
    int BoundedCount(const QString& name, std::initializer_list<QStringView> bases) const;

    // A reader that finds what must not be loaded refuses the whole read, and a writer that
    // cannot keep what it must the whole write; the first reason is kept, for every bag of
    // one read or write (nested bags share it with the root).
    void Refuse(const StorageResult& reason);
    bool Refused() const { return m_refusal && !m_refusal->ok(); }
    StorageResult Refusal() const { return m_refusal ? *m_refusal : StorageResult::success(); }

    void SetClassLookup(IClassLookup* lookup) { m_lookup = lookup; }
    IClassLookup* ClassLookup() const { return m_lookup; }
    // The document the bag is written for or read from, so that an object may keep part of
    // itself in the document's own tables. Nested bags share it; none for a bag kept as text.
    void SetDocument(StorageDocument* document) { m_document = document; }
    StorageDocument* Document() const { return m_document; }

    // Root object: written into this bag, then the bag is stored into a node; and back.
    void WriteRoot(const IClassPersistable& root);
    // False when the bag holds another class; a refusal shows in Refusal() afterwards.
    bool ReadRoot(IClassPersistable& root);
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

    // The number that follows base in name, 0 when name is not base and a number.
    static qint64 numberAfter(QStringView name, QStringView base);
    static QVariant toVariant(const PropertyValue& value);
    static QVariant converted(const PropertyValue& stored, const QVariant& defaultValue);
    static bool sameValue(const PropertyValue& a, const PropertyValue& b);

    // Shared by copies of the bag and by the value a nested bag is written into; a write
    // to a shared table copies it first.
    std::shared_ptr<PropertyTable> m_table;
    IClassLookup* m_lookup = nullptr;
    StorageDocument* m_document = nullptr;
    std::shared_ptr<StorageResult> m_refusal;
};
