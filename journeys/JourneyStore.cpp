#include "journeys/JourneyStore.h"

#include "base/ResourceStrings.h"
#include "journeys/JourneyText.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"

namespace JourneyStore {
namespace {
constexpr int NodeUnreadableId = 33018;
constexpr int FileUnreadableId = 33019;
} // namespace

StorageResult read(const StorageDocument& document, QList<Journey>& journeys)
{
    const StorageNode root = document.rootNode();
    bool found = false;
    if (StorageResult exists = root.exists(Node, found); !exists)
        return exists;
    if (!found) {
        journeys.clear();
        return StorageResult::success();
    }
    StorageNode node = root;
    if (StorageResult opened = node.open(Node); !opened)
        return opened;
    QString text;
    if (StorageResult stored = node.readText(text); !stored)
        return stored;
    if (const std::optional<QString> refused = JourneyText::read(text, journeys))
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(NodeUnreadableId).arg(*refused));
    return StorageResult::success();
}

StorageResult write(StorageDocument& document, const QList<Journey>& journeys)
{
    StorageNode node = document.rootNode();
    if (journeys.isEmpty()) {
        bool found = false;
        StorageResult exists = node.exists(Node, found);
        return exists && found ? node.remove(Node) : exists;
    }
    if (StorageResult opened = node.open(Node); !opened)
        return opened;
    return node.writeText(JourneyText::write(journeys));
}

StorageResult readFile(const QString& path, QList<Journey>& journeys)
{
    QString text;
    if (StorageResult read = FileBytes::readText(path, text, FileBytes::Input::Journeys); !read)
        return read;
    if (const std::optional<QString> refused = JourneyText::read(text, journeys))
        return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(FileUnreadableId).arg(path, *refused));
    return StorageResult::success();
}

StorageResult writeFile(const QString& path, const QList<Journey>& journeys, const QStringList& inputs)
{
    FileBytes::WriteOptions options;
    options.inputs = inputs;
    return FileBytes::write(path, JourneyText::write(journeys).toUtf8(), options);
}

} // namespace JourneyStore
