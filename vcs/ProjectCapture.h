#pragma once

#include "base/StorageResult.h"
#include "vcs/ProjectData.h"

class CanvasModel;
class CmDecisionManager;
class CmDocument;
class ProjectTextWriter;

// A project's model and storage as plain data: the decisions in their order, the document's
// settings, and what the storage holds of selectors, pictures, the diagram and the journeys.
namespace ProjectCapture {

// The layout is the canvas's when one is given (a project opened for a change), else the one
// the storage holds (a project only read). Fails when a stored part cannot be read.
StorageResult Read(const CmDecisionManager& decisions, const CmDocument& document, const CanvasModel* canvas,
                   ProjectData& project);
// The project only read, straight into its text form: a control at a time, never holding the
// controls as data. Fails when a stored part cannot be read (then nothing is written) or the
// writer's device refuses the text.
StorageResult WriteText(const CmDecisionManager& decisions, const CmDocument& document, ProjectTextWriter& writer);

} // namespace ProjectCapture
