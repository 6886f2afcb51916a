#include "vcs/StoredNodes.h"

#include "persist/StorageNode.h"

StorageResult StoredNodes::Children(const StorageNode& root, const QString& path, QStringList& names)
{
    names.clear();
    bool found = false;
    if (StorageResult looked = root.exists(path, found); !looked || !found)
        return looked;
    StorageNode node = root;
    if (StorageResult opened = node.open(path); !opened)
        return opened;
    return node.children(names);
}

StorageResult StoredNodes::Text(const StorageNode& root, const QString& path, QString& text, bool* found)
{
    text.clear();
    bool exists = false;
    StorageResult looked = root.exists(path, exists);
    if (found)
        *found = exists;
    if (!looked || !exists)
        return looked;
    StorageNode node = root;
    if (StorageResult opened = node.open(path); !opened)
        return opened;
    return node.readText(text);
}
