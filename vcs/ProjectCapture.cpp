#include "vcs/ProjectCapture.h"

#include "edit/CanvasModel.h"
#include "journeys/JourneyStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/DecisionRecord.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageNode.h"
#include "selectors/SelectorNames.h"
#include "vcs/ControlProperties.h"
#include "vcs/ProjectSettings.h"
#include "vcs/ProjectTextWriter.h"
#include "vcs/StoredNodes.h"

namespace {

const QString FinishLinkName = QStringLiteral("FinishLink");

StorageResult readSelectors(const StorageNode& root, ProjectData& project)
{
    QStringList names;
    if (StorageResult listed = StoredNodes::Children(root, ProjectNodes::Databases, names); !listed)
        return listed;
    for (const QString& name : names) {
        if (!SelectorNames::IsValid(name))
            continue;
        QString text;
        if (StorageResult read = StoredNodes::Text(root, ProjectNodes::Databases + name, text); !read)
            return read;
        SelectorData selector{name, {}};
        if (StorageResult parsed = SelectorText::Read(text, selector.rows); !parsed)
            return parsed;
        project.selectors.push_back(std::move(selector));
    }
    if (StorageResult listed = StoredNodes::Children(root, ProjectNodes::ExternalDatabases, names); !listed)
        return listed;
    for (const QString& name : names) {
        QString text;
        if (StorageResult read = StoredNodes::Text(root, ProjectNodes::ExternalDatabases + name, text); !read)
            return read;
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        project.externalSelectors.push_back({name, lines});
    }
    return StorageResult::success();
}

StorageResult readPictures(const CmDocument& document, ProjectData& project)
{
    const PictureStore store = document.Storage().pictures();
    QStringList names;
    if (StorageResult listed = store.names(names); !listed)
        return listed;
    for (const QString& name : names) {
        QByteArray bytes;
        if (StorageResult read = store.read(name, bytes); !read)
            return read;
        project.pictures.push_back(PictureData::fromBytes(name, bytes));
    }
    return StorageResult::success();
}

StorageResult readStoredLayout(const StorageNode& root, ProjectData& project)
{
    QString text;
    bool found = false;
    if (StorageResult read = StoredNodes::Text(root, ProjectNodes::CustomBlock, text, &found); !read || !found)
        return read;
    // A diagram that cannot be read is laid out anew when opened: as if there were none.
    if (const auto layout = CanvasModel::ParseLayoutText(text))
        project.layout = *layout;
    return StorageResult::success();
}

// Each stored control in decision order, as data.
template <typename Each>
void eachControl(const CmDecisionManager& decisions, Each each)
{
    const int count = decisions.Count();
    DecisionRecord record;
    for (int i = 1; i <= count; ++i) {
        const CmDecisionItem* item = decisions.ItemByIndex(i);
        // The pseudo control that ends a web run is never stored.
        if (item && item->strID().compare(FinishLinkName, Qt::CaseInsensitive) != 0) {
            item->WriteRecord(record);
            each(ControlProperties::FromRecord(record));
        }
    }
}

// Everything but the controls.
StorageResult readAllButControls(const CmDocument& document, const CanvasModel* canvas, ProjectData& project)
{
    project.settings = ProjectSettings::Read(document);
    const StorageNode root = document.Storage().rootNode();
    if (StorageResult read = readSelectors(root, project); !read)
        return read;
    if (StorageResult read = readPictures(document, project); !read)
        return read;
    if (canvas) {
        for (const auto& [key, entity] : canvas->AllEntities())
            project.layout.emplace_hint(project.layout.end(), key, QRectF(entity.centre, entity.size));
    } else if (StorageResult read = readStoredLayout(root, project); !read) {
        return read;
    }
    return JourneyStore::read(document.Storage(), project.journeys);
}

} // namespace

StorageResult ProjectCapture::Read(const CmDecisionManager& decisions, const CmDocument& document,
                                   const CanvasModel* canvas, ProjectData& project)
{
    project = ProjectData();
    project.controls.reserve(static_cast<size_t>(decisions.Count()));
    eachControl(decisions, [&project](ControlData&& control) { project.controls.push_back(std::move(control)); });
    return readAllButControls(document, canvas, project);
}

StorageResult ProjectCapture::WriteText(const CmDecisionManager& decisions, const CmDocument& document,
                                        ProjectTextWriter& writer)
{
    // The stored parts are read before a byte is written: a project that cannot be read gives no text.
    ProjectData rest;
    if (StorageResult read = readAllButControls(document, nullptr, rest); !read)
        return read;
    writer.head(rest.settings);
    eachControl(decisions, [&writer](const ControlData& control) { writer.control(control); });
    writer.tail(rest);
    if (!writer.finish())
        return StorageResult::failure(StorageErrorKind::Io, writer.error());
    return StorageResult::success();
}
