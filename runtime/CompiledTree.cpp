#include "runtime/CompiledTree.h"

#include "base/ResourceStrings.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "runtime/WebTreeReader.h"

StorageResult CompiledTree::readFile(const QString& path, CompiledTree& tree)
{
    StorageDocument document;
    if (StorageResult opened = document.openReadOnly(path); !opened)
        return opened;
    return read(document, tree);
}

StorageResult CompiledTree::readWebFile(const QString& path, CompiledTree& tree)
{
    return WebTreeReader::readFile(path, tree);
}

StorageResult CompiledTree::read(const StorageDocument& document, CompiledTree& tree)
{
    const StorageNode root = document.rootNode();
    bool hasRules = false;
    if (StorageResult found = root.exists(ProjectNodes::RulesFile, hasRules); !found)
        return found;
    if (!hasRules)
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(32505).arg(document.path()));
    StorageNode rules = root;
    if (StorageResult opened = rules.open(ProjectNodes::RulesFile); !opened)
        return opened;
    CompiledTree read;
    if (StorageResult text = rules.readText(read.rulesText); !text)
        return text;

    bool hasTables = false;
    if (StorageResult found = root.exists(ProjectNodes::Databases, hasTables); !found)
        return found;
    if (hasTables) {
        StorageNode databases = root;
        QStringList names;
        if (StorageResult opened = databases.open(ProjectNodes::Databases); !opened)
            return opened;
        if (StorageResult listed = databases.children(names); !listed)
            return listed;
        const QString external = ProjectNodes::ExternalDatabases.section(QLatin1Char('\\'), -2, -2);
        for (const QString& name : std::as_const(names)) {
            if (name.compare(external, Qt::CaseInsensitive) == 0)
                continue;
            StorageNode table = root;
            Table entry{name, {}};
            if (StorageResult opened = table.open(ProjectNodes::Databases + name); !opened)
                return opened;
            if (StorageResult rows = table.readTable(entry.rows); !rows)
                return rows;
            read.tables.append(std::move(entry));
        }
    }
    QStringList pictureNames;
    if (StorageResult listed = document.pictures().names(pictureNames); !listed)
        return listed;
    for (const QString& name : std::as_const(pictureNames)) {
        QByteArray bytes;
        if (StorageResult picture = document.pictures().read(name, bytes); !picture)
            return picture;
        read.pictures.insert(name.toCaseFolded(), bytes);
    }
    tree = std::move(read);
    return StorageResult::success();
}
