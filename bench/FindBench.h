#pragma once

#include <QList>

class QTextStream;

// Finds and replaces a text in every field of generated trees of each size and in a 10,000-row
// selector, and prints the milliseconds with the number of matches.
namespace FindBench {
int run(const QList<int>& sizes, QTextStream& out);
}
