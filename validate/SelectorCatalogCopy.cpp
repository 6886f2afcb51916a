#include "validate/SelectorCatalogCopy.h"

#include "persist/ProjectNodes.h"
#include "selectors/SelectorNames.h"

namespace {

// The names of the node's children; none when it does not exist (opening would create it).
QStringList childrenOf(const StorageNode& root, const QString& path)
{
    bool found = false;
    QStringList names;
    StorageNode node = root;
    if (!root.exists(path, found).ok() || !found || !node.open(path).ok() || !node.children(names).ok())
        return {};
    return names;
}

} // namespace

SelectorCatalogCopy::SelectorCatalogCopy(const StorageNode& root)
{
    QString databases = ProjectNodes::Databases;
    databases.chop(1);
    for (const QString& name : childrenOf(root, databases)) {
        StorageNode node = root;
        QString text;
        if (!node.open(ProjectNodes::Databases + name).ok() || !node.readText(text).ok())
            text = QString();
        else if (text.isNull())
            text = QLatin1String("");
        m_tables.insert(keyOf(name), text);
    }
    QString external = ProjectNodes::ExternalDatabases;
    external.chop(1);
    for (const QString& name : childrenOf(root, external))
        m_external.insert(keyOf(name));
}

QString SelectorCatalogCopy::keyOf(const QString& name)
{
    QString key = name;
    for (QChar& c : key) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return key;
}

bool SelectorCatalogCopy::isInternal(const QString& name) const
{
    return SelectorNames::IsValid(name) && m_tables.contains(keyOf(name));
}

bool SelectorCatalogCopy::isExternal(const QString& name) const
{
    return SelectorNames::IsValid(name) && m_external.contains(keyOf(name));
}

bool SelectorCatalogCopy::Exists(const QString& name) const
{
    return isInternal(name) || isExternal(name);
}

std::optional<QStringList> SelectorCatalogCopy::Properties(const QString& name) const
{
    if (!isInternal(name))
        return isExternal(name) ? std::nullopt : std::optional<QStringList>(QStringList());
    QStringList properties;
    const SelectorText::Rows& rows = table(name);
    if (!rows.isEmpty()) {
        for (const QString& cell : rows.first()) {
            if (!cell.isEmpty())
                properties.append(cell);
        }
    }
    return properties;
}

std::optional<QStringList> SelectorCatalogCopy::Items(const QString& name) const
{
    if (!isInternal(name))
        return isExternal(name) ? std::nullopt : std::optional<QStringList>(QStringList());
    QStringList items;
    const SelectorText::Rows& rows = table(name);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QString item = rows.at(i).value(0);
        if (!item.isEmpty())
            items.append(item);
    }
    return items;
}

const SelectorText::Rows& SelectorCatalogCopy::table(const QString& name) const
{
    const QString key = keyOf(name);
    if (const auto parsed = m_parsed.constFind(key); parsed != m_parsed.cend())
        return parsed.value();
    SelectorText::Rows rows;
    const QString text = m_tables.value(key);
    if (text.isNull() || !SelectorText::Read(text, rows).ok())
        rows.clear();
    return m_parsed.insert(key, rows).value();
}
