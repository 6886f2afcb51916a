#include "vcs/ProjectApply.h"

#include "edit/CanvasModel.h"
#include "journeys/JourneyStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/PictureLibrary.h"
#include "persist/DecisionRecord.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageNode.h"
#include "selectors/SelectorNames.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectSettings.h"
#include "vcs/StoredNodes.h"

#include <QHash>
#include <QSet>

namespace {

StorageResult refused(const QString& message)
{
    return StorageResult::failure(StorageErrorKind::Refused, message);
}

StorageResult writeDecisions(const ProjectData& project, CmDecisionManager& decisions, CanvasModel& canvas)
{
    const CanvasModel::Batch quietDiagram(canvas);
    decisions.Clear();
    for (const ControlData& control : project.controls) {
        if (decisions.Exists(int{control.id}) || (!control.name.isEmpty() && decisions.Exists(control.name)))
            return refused(QStringLiteral("control %1 %2: its number or name is there twice").arg(control.id).arg(control.name));
        auto item = std::make_unique<CmDecisionItem>();
        if (StorageResult read = item->ReadRecord(ControlProperties::ToRecord(control)); !read)
            return read;
        if (!decisions.add(std::move(item)))
            return refused(QStringLiteral("control %1 %2 cannot be added").arg(control.id).arg(control.name));
    }
    canvas.ApplyLayout(project.layout);
    canvas.RefreshLinks();
    return StorageResult::success();
}

// Writes the node's text when it differs; removes the nodes of the folder that the wanted
// texts do not name.
StorageResult writeFolder(StorageNode root, const QString& folder, const QList<std::pair<QString, QString>>& wanted,
                          const std::function<bool(const QString&)>& belongs)
{
    QStringList stored;
    if (StorageResult listed = StoredNodes::Children(root, folder, stored); !listed)
        return listed;
    QSet<QString> keep;
    for (const auto& [name, text] : wanted) {
        keep.insert(name.toUpper());
        StorageNode node = root;
        QString current;
        bool existed = false;
        if (StorageResult opened = node.open(folder + name, &existed); !opened)
            return opened;
        if (existed) {
            if (StorageResult read = node.readText(current); !read)
                return read;
        }
        if (!existed || current != text) {
            if (StorageResult written = node.writeText(text); !written)
                return written;
        }
    }
    for (const QString& name : stored) {
        if (belongs(name) && !keep.contains(name.toUpper())) {
            if (StorageResult removed = root.remove(folder + name); !removed)
                return removed;
        }
    }
    return StorageResult::success();
}

StorageResult writeSelectors(const ProjectData& project, CmDocument& document)
{
    const StorageNode root = document.Storage().rootNode();
    QList<std::pair<QString, QString>> internal;
    for (const SelectorData& selector : project.selectors) {
        // A table stored in another form (an imported file kept as it came) stays as it is
        // when it holds the same rows.
        bool found = false;
        QString stored;
        SelectorText::Rows rows;
        if (StoredNodes::Text(root, ProjectNodes::Databases + selector.name, stored, &found).ok() && found
            && SelectorText::Read(stored, rows).ok() && rows == selector.rows)
            internal.append({selector.name, stored});
        else
            internal.append({selector.name, SelectorText::Write(selector.rows)});
    }
    if (StorageResult written = writeFolder(root, ProjectNodes::Databases, internal, &SelectorNames::IsValid); !written)
        return written;
    QList<std::pair<QString, QString>> external;
    for (const ExternalSelectorData& selector : project.externalSelectors) {
        QString text;
        for (const QString& line : selector.lines)
            text += line + QLatin1String("\r\n");
        external.append({selector.name, text});
    }
    return writeFolder(root, ProjectNodes::ExternalDatabases, external, [](const QString&) { return true; });
}

StorageResult writePictures(const ProjectData& project, CmDocument& document, CmDecisionManager& decisions)
{
    PictureLibrary library(document, decisions);
    QHash<QString, QString> storedHashes;
    for (const QString& name : library.Names()) {
        QByteArray bytes;
        if (StorageResult read = library.Read(name, bytes); !read)
            return read;
        storedHashes.insert(name.toUpper(), PictureData::fromBytes(name, bytes).sha256);
    }
    QSet<QString> keep;
    for (const PictureData& picture : project.pictures) {
        keep.insert(picture.name.toUpper());
        if (storedHashes.value(picture.name.toUpper()) == picture.sha256)
            continue;
        if (picture.bytes.size() != picture.size || PictureData::fromBytes(picture.name, picture.bytes).sha256 != picture.sha256)
            return refused(QStringLiteral("picture %1: its content is not at hand").arg(picture.name));
        if (storedHashes.contains(picture.name.toUpper())) {
            if (StorageResult removed = library.Remove(picture.name); !removed)
                return removed;
        }
        if (StorageResult put = library.Put(picture.name, picture.bytes); !put)
            return put;
    }
    for (const QString& name : library.Names()) {
        if (!keep.contains(name.toUpper())) {
            if (StorageResult removed = library.Remove(name); !removed)
                return removed;
        }
    }
    return StorageResult::success();
}

StorageResult writeJourneys(const ProjectData& project, CmDocument& document)
{
    QList<Journey> stored;
    if (StorageResult read = JourneyStore::read(document.Storage(), stored); !read)
        return read;
    if (stored == project.journeys)
        return StorageResult::success();
    return JourneyStore::write(document.Storage(), project.journeys);
}

} // namespace

StorageResult ProjectApply::Write(const ProjectData& project, CmDecisionManager& decisions, CmDocument& document,
                                  CanvasModel& canvas)
{
    ProjectSettings::Apply(project.settings, document);
    StorageResult result = writeDecisions(project, decisions, canvas);
    if (result)
        result = writeSelectors(project, document);
    if (result)
        result = writePictures(project, document, decisions);
    if (result)
        result = writeJourneys(project, document);
    document.setDirty(true);
    return result;
}
