#pragma once

#include "lang/ExpressionNode.h"
#include "lang/ISelectorCatalog.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

// Checks a selector reference "Selector:Property;Item" in three steps: the selector must
// exist, a property given must be one of its property names, an item given one of its
// items. Names are compared trimmed and without regard to case. Each selector is read from
// the catalog once per lookup, since a tree can refer to the same one thousands of times.
class SelectorLookup {
public:
    enum class Result { Found, UnknownSelector, UnknownProperty, UnknownItem };

    explicit SelectorLookup(const ISelectorCatalog& catalog) : m_catalog(catalog) {}

    Result Check(const QString& reference) const;
    // The property names the item expressions use bare (a !KILL's condition, a !SORT's keys)
    // that the selector's header row lacks, each once as first written; none for a selector
    // that does not exist or whose table is kept elsewhere, nor for an expression that does
    // not parse (its own check reports that).
    QStringList MissingProperties(const QString& selector, const QStringList& expressions) const;
    // Split at ":" and ";" and read from the left: selector, property, item; parts trimmed, a
    // part that is missing or empty is not given.
    static SelectorReference Split(const QString& reference);

private:
    struct Names {
        bool exists = false;
        // Unknown for a selector whose table is kept elsewhere: those steps are skipped.
        std::optional<QSet<QString>> properties;
        std::optional<QSet<QString>> items;
    };

    const Names& namesOf(const QString& selector) const;

    const ISelectorCatalog& m_catalog;
    mutable QHash<QString, Names> m_cache;
};
