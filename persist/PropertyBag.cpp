#include "persist/PropertyBag.h"

#include "base/ResourceStrings.h"
#include "persist/BagJsonReader.h"
#include "persist/BagJsonWriter.h"
#include "persist/PropertyTable.h"
#include "persist/StorageNode.h"
#include "persist/StorageText.h"

#include <algorithm>
#include <limits>

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    PropertyValue stored = PropertyValue::fromVariant(value);
    // Also drops a value an earlier write of this name left.
    if (sameValue(stored, PropertyValue::fromVariant(defaultValue)))
        writable().remove(name);
    else
        writable().set(name, std::move(stored));
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const PropertyValue* stored = find(name);
    if (!stored || std::holds_alternative<PropertyValue::Nested>(stored->data))
        return defaultValue;
    return defaultValue.isValid() ? converted(*stored, defaultValue) : toVariant(*stored);
}

void PropertyBag::WriteObject(const QString& name, const IClassPersistable& object)
{
    PropertyBag nested;
    nested.m_lookup = m_lookup;
    nested.m_document = m_document;
    nested.m_refusal = m_refusal;
    nested.writable().setClassId(object.IClassPersistable_UCID());
    object.IClassPersistable_WriteProperties(nested);
    writable().set(name, PropertyValue{std::move(nested.m_table)});
}

ClassInstance PropertyBag::ReadObject(const QString& name) const
{
    const PropertyValue* stored = find(name);
    if (!stored || !m_lookup || !std::holds_alternative<PropertyValue::Nested>(stored->data))
        return {};
    PropertyBag nested;
    nested.m_lookup = m_lookup;
    nested.m_document = m_document;
    nested.m_refusal = m_refusal;
    nested.m_table = std::get<PropertyValue::Nested>(stored->data);
    ClassInstance instance = m_lookup->IClassLookup_CreateClass(nested.RootClassId());
    if (instance)
        instance.object->IClassPersistable_ReadProperties(nested);
    return instance;
}

bool PropertyBag::Contains(const QString& name) const
{
    return find(name) != nullptr;
}

int PropertyBag::BoundedCount(const QString& name, std::initializer_list<QStringView> bases) const
{
    const qint64 count = ReadProperty(name, QVariant::fromValue<qlonglong>(0)).toLongLong();
    if (count <= 0 || !m_table)
        return 0;
    const qint64 limit = std::min(count, static_cast<qint64>(m_table->entries().size()));
    qint64 highest = 0;
    for (const PropertyTable::Entry& entry : m_table->entries()) {
        for (const QStringView base : bases) {
            const qint64 number = numberAfter(entry.name, base);
            if (number <= limit)
                highest = std::max(highest, number);
        }
    }
    return static_cast<int>(highest);
}

qint64 PropertyBag::numberAfter(QStringView name, QStringView base)
{
    if (!name.startsWith(base))
        return 0;
    const QStringView digits = name.mid(base.size());
    // Numbered names have no leading zeros; more digits than this is no number of ours.
    if (digits.isEmpty() || digits.size() > 10 || digits.front() == u'0')
        return 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    return digits.toLongLong();
}

void PropertyBag::Refuse(const StorageResult& reason)
{
    if (!m_refusal)
        m_refusal = std::make_shared<StorageResult>();
    if (m_refusal->ok())
        *m_refusal = reason;
}

void PropertyBag::WriteRoot(const IClassPersistable& root)
{
    m_table = std::make_shared<PropertyTable>();
    m_table->setClassId(root.IClassPersistable_UCID());
    // A write that cannot keep part of an object refuses the whole write, as a read does.
    m_refusal = std::make_shared<StorageResult>();
    root.IClassPersistable_WriteProperties(*this);
}

bool PropertyBag::ReadRoot(IClassPersistable& root)
{
    if (RootClassId() != root.IClassPersistable_UCID())
        return false;
    // A fresh read: the bags it reaches share one place for a refusal.
    m_refusal = std::make_shared<StorageResult>();
    PropertyBag reader = *this;
    root.IClassPersistable_ReadProperties(reader);
    return true;
}

int PropertyBag::RootClassId() const
{
    return m_table ? m_table->classId() : 0;
}

QString PropertyBag::ToText() const
{
    return BagJsonWriter::write(m_table ? *m_table : PropertyTable());
}

StorageResult PropertyBag::FromText(const QString& text)
{
    const QString problem = parse(text);
    if (problem.isEmpty())
        return StorageResult::success();
    return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(TextPropertiesUnreadable).arg(problem));
}

StorageResult PropertyBag::StoreInto(StorageNode& node) const
{
    return node.writeText(ToText());
}

StorageResult PropertyBag::LoadFrom(const StorageNode& node)
{
    QString text;
    if (StorageResult read = node.readText(text); !read)
        return read;
    const QString problem = parse(text);
    if (problem.isEmpty())
        return StorageResult::success();
    return StorageResult::failure(StorageErrorKind::Corrupt,
                                  LoadResString(TextNodePropertiesUnreadable).arg(node.path(), problem));
}

PropertyTable& PropertyBag::writable()
{
    if (!m_table)
        m_table = std::make_shared<PropertyTable>();
    else if (m_table.use_count() > 1)
        m_table = std::make_shared<PropertyTable>(*m_table);
    return *m_table;
}

const PropertyValue* PropertyBag::find(const QString& name) const
{
    return m_table ? m_table->find(name) : nullptr;
}

QString PropertyBag::parse(const QString& text)
{
    auto table = std::make_shared<PropertyTable>();
    // A node that was never written holds no text: an empty bag.
    if (!text.trimmed().isEmpty()) {
        const QString problem = BagJsonReader::read(text, *table);
        if (!problem.isEmpty())
            return problem;
    }
    m_table = std::move(table);
    return QString();
}

QVariant PropertyBag::toVariant(const PropertyValue& value)
{
    if (const auto* flag = std::get_if<bool>(&value.data))
        return *flag;
    if (const auto* whole = std::get_if<qint64>(&value.data)) {
        const bool fitsInt = *whole >= std::numeric_limits<int>::min() && *whole <= std::numeric_limits<int>::max();
        return fitsInt ? QVariant(static_cast<int>(*whole)) : QVariant(static_cast<qlonglong>(*whole));
    }
    if (const auto* number = std::get_if<double>(&value.data))
        return *number;
    if (const auto* text = std::get_if<QString>(&value.data))
        return *text;
    return QVariant();
}

QVariant PropertyBag::converted(const PropertyValue& stored, const QVariant& defaultValue)
{
    // An empty value becomes the empty value of the default's type (0, false, "").
    QVariant value = std::holds_alternative<std::monostate>(stored.data) ? QVariant(defaultValue.metaType())
                                                                         : toVariant(stored);
    if (!value.convert(defaultValue.metaType()))
        return defaultValue;
    return value;
}

bool PropertyBag::sameValue(const PropertyValue& a, const PropertyValue& b)
{
    const auto numberOf = [](const PropertyValue& value, double& number) {
        if (const auto* whole = std::get_if<qint64>(&value.data))
            number = static_cast<double>(*whole);
        else if (const auto* fraction = std::get_if<double>(&value.data))
            number = *fraction;
        else
            return false;
        return true;
    };
    double left = 0;
    double right = 0;
    if (numberOf(a, left) && numberOf(b, right))
        return left == right;
    return a.data == b.data;
}
