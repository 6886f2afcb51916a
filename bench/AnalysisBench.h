#pragma once

#include <QList>

class QTextStream;

// Runs the path analysis over generated trees of each size, and over a tree of the same size
// whose controls form one long loop, and prints the milliseconds (best of three).
namespace AnalysisBench {
int run(QList<int> sizes, QTextStream& out);
}
