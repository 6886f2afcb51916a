#pragma once

#include <QList>

class CmDecisionManager;
class QTextStream;

// The diagram of generated trees: canvas, automatic layout and every link, then a rename with
// all its references updated.
namespace DiagramBench {

struct Timing {
    int controls = 0;
    qint64 buildMs = 0;
    qint64 restoreMs = 0;
    qint64 renameMs = 0;
};

int run(QList<int> sizes, QTextStream& out);
// Times the diagram of the tree and a rename of its second control, which stays renamed.
Timing measure(CmDecisionManager& decisions);

} // namespace DiagramBench
