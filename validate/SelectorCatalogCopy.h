#pragma once

#include "lang/ISelectorCatalog.h"
#include "persist/StorageNode.h"
#include "selectors/SelectorText.h"

#include <QHash>
#include <QSet>
#include <QString>

// The stored selectors of a project read once, so that a check on another thread answers as
// the document's selectors would (StoredSelectorCatalog) without touching the document while
// it is edited. Taking it reads the names of the internal and external selectors and the text
// of each internal table; a table is parsed when first asked for. Read by one thread at a time.
class SelectorCatalogCopy final : public ISelectorCatalog {
public:
    // Any node of the document; the selectors are read from its root.
    explicit SelectorCatalogCopy(const StorageNode& root);

    bool Exists(const QString& name) const override;
    std::optional<QStringList> Properties(const QString& name) const override;
    std::optional<QStringList> Items(const QString& name) const override;

private:
    // Node names are compared without regard to ASCII case, as the storage compares them.
    static QString keyOf(const QString& name);
    bool isInternal(const QString& name) const;
    bool isExternal(const QString& name) const;
    const SelectorText::Rows& table(const QString& name) const;

    QHash<QString, QString> m_tables; // key to the stored text; null text: unreadable
    QSet<QString> m_external;
    mutable QHash<QString, SelectorText::Rows> m_parsed;
};
