#pragma once

#include "base/StorageResult.h"
#include "vcs/ProjectData.h"

class CanvasModel;
class CmDecisionManager;
class CmDocument;

// Puts a project's data into a model and its storage, as a merge writes its result: the
// decisions are read anew in the data's order, the canvas takes the layout, and the selectors,
// pictures and journeys stored differently from the data are written. What the data does not
// describe (the undo history, the explorer's selection) stays as it was.
namespace ProjectApply {

// Fails, naming what, when the data holds a control the model refuses (a number or name
// twice, a name no author could type) or a picture whose bytes it does not carry and the
// storage does not hold; the model may then be changed in part.
StorageResult Write(const ProjectData& project, CmDecisionManager& decisions, CmDocument& document,
                    CanvasModel& canvas);

} // namespace ProjectApply
