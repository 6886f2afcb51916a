#include "selectors/StoredSelectorCatalog.h"

#include "persist/ProjectNodes.h"

namespace {

// A name that would reach another node than a selector's own: the folder itself, a path
// below it, or the folder of the external selectors.
bool isSelectorName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('\\'))
           && name.compare(QLatin1String("External"), Qt::CaseInsensitive) != 0;
}

} // namespace

bool StoredSelectorCatalog::Exists(const QString& name) const
{
    return isInternal(name) || isExternal(name);
}

std::optional<QStringList> StoredSelectorCatalog::Properties(const QString& name) const
{
    if (!isInternal(name))
        return isExternal(name) ? std::nullopt : std::optional<QStringList>(QStringList());
    QStringList properties;
    const CsvTable::Rows rows = table(name);
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
    const CsvTable::Rows rows = table(name);
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
    return isSelectorName(name) && nodeExists(ProjectNodes::Databases + name);
}

bool StoredSelectorCatalog::isExternal(const QString& name) const
{
    return isSelectorName(name) && nodeExists(ProjectNodes::ExternalDatabases + name);
}

CsvTable::Rows StoredSelectorCatalog::table(const QString& name) const
{
    CsvTable::Rows rows;
    StorageNode node = m_root;
    // Opened only once known to exist: opening creates a missing node.
    if (!node.open(ProjectNodes::Databases + name).ok() || !node.readTable(rows).ok())
        return {};
    return rows;
}
