#pragma once

#include <QList>
#include <QString>

class CanvasModel;
class CmDecisionItem;
class CmDecisionManager;

// The tree as a graph for review: controls as nodes with their type, go actions as edges
// labelled with the option and the conditions that lead along them.
namespace TreeGraph {

struct Edge {
    qint16 target = 0;
    QString label;
};

// One edge per go action whose target is a control, in the order of the lines.
QList<Edge> EdgesOf(const CmDecisionItem& decision, const CmDecisionManager& decisions);

// Graphviz text; nodes carry the diagram's positions.
QString Dot(const QString& title, const CmDecisionManager& decisions, const CanvasModel& canvas);
// A drawing of the diagram as it is laid out.
QString Svg(const QString& title, const CmDecisionManager& decisions, const CanvasModel& canvas);

} // namespace TreeGraph
