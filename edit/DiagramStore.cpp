#include "edit/DiagramStore.h"

#include "edit/CanvasModel.h"
#include "model/CmDecisionManager.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"

StorageResult DiagramStore::Save(StorageDocument& document, const CanvasModel& canvas)
{
    StorageNode node = document.rootNode();
    bool existed = false;
    StorageResult result = node.open(ProjectNodes::CustomBlock, &existed);
    if (result)
        result = node.writeText(canvas.LayoutText());
    return result;
}

bool DiagramStore::Load(const StorageDocument& document, CanvasModel& canvas, const CmDecisionManager& decisions,
                        const AutoLayout::Progress& progress)
{
    QString text;
    StorageNode node = document.rootNode();
    bool found = false;
    if (node.exists(ProjectNodes::CustomBlock, found) && found && node.open(ProjectNodes::CustomBlock))
        node.readText(text);
    return Restore(text, canvas, decisions, progress);
}

bool DiagramStore::Restore(const QString& storedText, CanvasModel& canvas, const CmDecisionManager& decisions,
                           const AutoLayout::Progress& progress)
{
    const auto layout = CanvasModel::ParseLayoutText(storedText);
    if (!layout || (layout->empty() && decisions.Count() > 0)) {
        AutoLayout::LayOut(canvas, decisions, progress);
        return false;
    }
    canvas.ApplyLayout(*layout);
    canvas.RefreshLinks();
    return true;
}
