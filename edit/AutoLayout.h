#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <vector>

class CanvasModel;
class CmBreadthFirstSearch;
class CmDecisionManager;

// Places every control of a tree that has no stored diagram: one row per level of the search,
// each row spread evenly, the whole right of and below the origin.
namespace AutoLayout {

// Room left between the origin and the topmost and leftmost boxes, as the author reads top and left.
constexpr double Margin = 20;

// 75 for fewer than 50 controls, 50 otherwise.
int SpacingUnit(int controlCount);

// The centre of every record of a finished search, in the order the records were added, for
// boxes of the given size. Controls displayed with the first control continue its row to the
// left; controls the search did not reach get a row of their own one step above the first
// control. The whole is then moved so that its top and left boxes stand at the margin.
std::vector<QPointF> Positions(const CmBreadthFirstSearch& search, QSizeF box);

// Status text and percent done while placing.
using Progress = std::function<void(const QString& status, int percent)>;

// Searches the manager's controls in their order and moves each entity (made where missing)
// to its place; nothing is recorded for undo.
void LayOut(CanvasModel& canvas, const CmDecisionManager& decisions, const Progress& progress = {});

} // namespace AutoLayout
