#include "persist/PropertyTable.h"

namespace {
// Below this many names a plain search beats hashing every name.
constexpr qsizetype IndexFrom = 32;
// Most objects have about twenty properties; growing one step at a time would copy them often.
constexpr size_t TypicalSize = 24;
} // namespace

void PropertyTable::set(const QString& name, PropertyValue value)
{
    const qsizetype at = indexOf(name);
    if (at >= 0) {
        m_entries[static_cast<size_t>(at)].value = std::move(value);
        return;
    }
    if (m_entries.empty())
        m_entries.reserve(TypicalSize);
    m_entries.push_back(Entry{name, std::move(value)});
    if (!m_index.isEmpty())
        m_index.insert(name, static_cast<qsizetype>(m_entries.size()) - 1);
}

void PropertyTable::remove(const QString& name)
{
    const qsizetype at = indexOf(name);
    if (at < 0)
        return;
    m_entries.erase(m_entries.begin() + at);
    m_index.clear();
    m_hint = 0;
}

const PropertyValue* PropertyTable::find(const QString& name) const
{
    const qsizetype at = indexOf(name);
    return at >= 0 ? &m_entries[static_cast<size_t>(at)].value : nullptr;
}

qsizetype PropertyTable::indexOf(const QString& name) const
{
    const auto size = static_cast<qsizetype>(m_entries.size());
    for (const qsizetype probe : {m_hint + 1, m_hint}) {
        if (probe < size && m_entries[static_cast<size_t>(probe)].name == name) {
            m_hint = probe;
            return probe;
        }
    }
    const qsizetype at = search(name);
    if (at >= 0)
        m_hint = at;
    return at;
}

qsizetype PropertyTable::search(const QString& name) const
{
    const auto size = static_cast<qsizetype>(m_entries.size());
    if (size < IndexFrom) {
        for (qsizetype i = 0; i < size; ++i) {
            if (m_entries[static_cast<size_t>(i)].name == name)
                return i;
        }
        return -1;
    }
    if (m_index.isEmpty()) {
        m_index.reserve(size);
        for (qsizetype i = 0; i < size; ++i)
            m_index.insert(m_entries[static_cast<size_t>(i)].name, i);
    }
    return m_index.value(name, -1);
}
