#pragma once

#include "edit/AutoLayout.h"
#include "base/StorageResult.h"

class CanvasModel;
class CmDecisionManager;
class StorageDocument;

// The diagram's part of a project file: positions and sizes keyed by decision number.
namespace DiagramStore {

StorageResult Save(StorageDocument& document, const CanvasModel& canvas);
// Places the entities as stored; a project without a stored diagram, or with one that
// cannot be read, is laid out automatically. True when the stored diagram was used.
bool Load(const StorageDocument& document, CanvasModel& canvas, const CmDecisionManager& decisions,
          const AutoLayout::Progress& progress = {});
// The same from the node's text.
bool Restore(const QString& storedText, CanvasModel& canvas, const CmDecisionManager& decisions,
             const AutoLayout::Progress& progress = {});

} // namespace DiagramStore
