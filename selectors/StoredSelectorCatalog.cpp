#include "selectors/StoredSelectorCatalog.h"

#include "persist/ProjectNodes.h"
#include "selectors/SelectorNames.h"
#include "selectors/SelectorText.h"

bool StoredSelectorCatalog::Exists(const QString& name) const
{
    return isInternal(name) || isExternal(name);
}

std::optional<QStringList> StoredSelectorCatalog::Properties(const QString& name) const
{
    if (!isInternal(name))
        return isExternal(name) ? std::nullopt : std::optional<QStringList>(QStringList());
    QStringList properties;
    const SelectorText::Rows rows = table(name);
    if (!rows.isEmpty()) {
        for (const QString& cell : rows.first()) {
            if (!cell.isEmpty())
                properties.append(cell);
        }
    }
    return properties;
}

std::optional<QStringList> StoredSelectorCatalog::Items(const QString& name) const
{
    if (!isInternal(name))
        return isExternal(name) ? std::nullopt : std::optional<QStringList>(QStringList());
    QStringList items;
    const SelectorText::Rows rows = table(name);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QString item = rows.at(i).value(0);
        if (!item.isEmpty())
            items.append(item);
    }
    return items;
}

bool StoredSelectorCatalog::nodeExists(const QString& path) const
{
    bool found = false;
    return m_root.exists(path, found).ok() && found;
}

bool StoredSelectorCatalog::isInternal(const QString& name) const
{
    return SelectorNames::IsValid(name) && nodeExists(ProjectNodes::Databases + name);
}

bool StoredSelectorCatalog::isExternal(const QString& name) const
{
    return SelectorNames::IsValid(name) && nodeExists(ProjectNodes::ExternalDatabases + name);
}

SelectorText::Rows StoredSelectorCatalog::table(const QString& name) const
{
    SelectorText::Rows rows;
    StorageNode node = m_root;
    QString text;
    // Opened only once known to exist: opening creates a missing node.
    if (!node.open(ProjectNodes::Databases + name).ok() || !node.readText(text).ok()
        || !SelectorText::Read(text, rows).ok())
        return {};
    return rows;
}
