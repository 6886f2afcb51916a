#pragma once

#include "base/StorageResult.h"

#include <QStringList>

class StorageNode;

// Reading a document's nodes without making them: opening a node that is not there would
// create it.
namespace StoredNodes {

// The node's children; none when the node is not there.
StorageResult Children(const StorageNode& root, const QString& path, QStringList& names);
// The node's text; empty when the node is not there.
StorageResult Text(const StorageNode& root, const QString& path, QString& text, bool* found = nullptr);

} // namespace StoredNodes
