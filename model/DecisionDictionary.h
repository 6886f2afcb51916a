#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CmDecisionItem;

// The decisions in the order they were added, found by key and by position in constant time.
// Keys are compared exactly; the decision manager hands them in upper-cased.
class DecisionDictionary {
public:
    DecisionDictionary();
    ~DecisionDictionary();
    DecisionDictionary(DecisionDictionary&&) noexcept;
    DecisionDictionary& operator=(DecisionDictionary&&) noexcept;
    DecisionDictionary(const DecisionDictionary&) = delete;
    DecisionDictionary& operator=(const DecisionDictionary&) = delete;

    qsizetype count() const { return static_cast<qsizetype>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    bool contains(const QString& key) const { return m_positions.contains(key); }

    // Null when the key is not held.
    CmDecisionItem* find(const QString& key) const;
    // Counted from 0; -1 when the key is not held.
    qsizetype indexOf(const QString& key) const { return m_positions.value(key, -1); }
    // index must lie in 0 .. count() - 1.
    CmDecisionItem* at(qsizetype index) const;
    const QString& keyAt(qsizetype index) const;
    QStringList keys() const;

    // Appends; false, and the item dropped, when the key is taken or the item is null.
    bool insert(const QString& key, std::unique_ptr<CmDecisionItem> item);
    // Hands the decision back to the caller; null when the key is not held. The entries after
    // it move up one place.
    std::unique_ptr<CmDecisionItem> take(const QString& key);
    // Keeps the position; false when the old key is not held or the new one belongs to another.
    bool rename(const QString& oldKey, const QString& newKey);
    void clear();
    // Room for this many entries in all, so that reading a whole tree grows nothing.
    void reserve(qsizetype entries);

private:
    struct Entry {
        QString key;
        std::unique_ptr<CmDecisionItem> item;
    };

    std::vector<Entry> m_entries;
    QHash<QString, qsizetype> m_positions;
};
