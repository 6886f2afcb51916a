#include "model/DecisionDictionary.h"

#include "model/CmDecisionItem.h"

DecisionDictionary::DecisionDictionary() = default;
DecisionDictionary::~DecisionDictionary() = default;
DecisionDictionary::DecisionDictionary(DecisionDictionary&&) noexcept = default;
DecisionDictionary& DecisionDictionary::operator=(DecisionDictionary&&) noexcept = default;

CmDecisionItem* DecisionDictionary::find(const QString& key) const
{
    const qsizetype index = indexOf(key);
    return index < 0 ? nullptr : at(index);
}

CmDecisionItem* DecisionDictionary::at(qsizetype index) const
{
    return m_entries.at(static_cast<std::size_t>(index)).item.get();
}

const QString& DecisionDictionary::keyAt(qsizetype index) const
{
    return m_entries.at(static_cast<std::size_t>(index)).key;
}

QStringList DecisionDictionary::keys() const
{
    QStringList result;
    result.reserve(count());
    for (const Entry& entry : m_entries)
        result.append(entry.key);
    return result;
}

bool DecisionDictionary::insert(const QString& key, std::unique_ptr<CmDecisionItem> item)
{
    if (!item || contains(key))
        return false;
    m_positions.insert(key, count());
    m_entries.push_back(Entry{key, std::move(item)});
    return true;
}

std::unique_ptr<CmDecisionItem> DecisionDictionary::take(const QString& key)
{
    const qsizetype index = indexOf(key);
    if (index < 0)
        return nullptr;
    const auto position = m_entries.begin() + index;
    std::unique_ptr<CmDecisionItem> item = std::move(position->item);
    m_entries.erase(position);
    m_positions.remove(key);
    // Only the entries behind the removed one change place.
    for (qsizetype later = index; later < count(); ++later)
        m_positions[keyAt(later)] = later;
    return item;
}

bool DecisionDictionary::rename(const QString& oldKey, const QString& newKey)
{
    const qsizetype index = indexOf(oldKey);
    if (index < 0)
        return false;
    if (newKey == oldKey)
        return true;
    if (contains(newKey))
        return false;
    m_positions.remove(oldKey);
    m_positions.insert(newKey, index);
    m_entries.at(static_cast<std::size_t>(index)).key = newKey;
    return true;
}

void DecisionDictionary::reserve(qsizetype entries)
{
    m_entries.reserve(static_cast<std::size_t>(entries));
    m_positions.reserve(entries);
}

void DecisionDictionary::clear()
{
    m_positions.clear();
    m_entries.clear();
}
