#pragma once

#include <QList>

class QTextStream;

// The diagram of generated trees: canvas, automatic layout and every link, then a rename with
// all its references updated.
namespace DiagramBench {

int run(QList<int> sizes, QTextStream& out);

} // namespace DiagramBench
