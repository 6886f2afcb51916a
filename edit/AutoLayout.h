#pragma once

#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

class CanvasModel;
class CmBreadthFirstSearch;
class CmDecisionManager;

// Places every control of a tree that has no stored diagram: one row per level of the search,
// the first control at the top, each row spread evenly.
namespace AutoLayout {

// 75 for fewer than 50 controls, 50 otherwise.
int SpacingUnit(int controlCount);

// The centre of every record of a finished search, in the order the records were added.
// Controls displayed with the first control continue its row towards smaller x; controls
// the search did not reach get a row of their own one step above the first control.
std::vector<QPointF> Positions(const CmBreadthFirstSearch& search);

// Status text and percent done while placing.
using Progress = std::function<void(const QString& status, int percent)>;

// Searches the manager's controls in their order and moves each entity (made where missing)
// to its place; nothing is recorded for undo.
void LayOut(CanvasModel& canvas, const CmDecisionManager& decisions, const Progress& progress = {});

} // namespace AutoLayout
