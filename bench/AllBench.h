#pragma once

#include <QString>
#include <QList>

class QTextStream;

// Every whole-tree operation on one generated tree per size: save, open, validate, both
// compiles, a test run, the diagram, a rename and find. Each size runs in a child process of its
// own, so its peak memory is its own.
namespace AllBench {

// The hidden option that makes the program the child measuring one size.
inline constexpr QLatin1String ChildOption{"--all-child"};

// Runs a child per size and prints a row per operation with each size's figure and the ratio
// of each size to the one before it.
int run(QList<int> sizes, QTextStream& out);
// The child: measures one size and prints "name<TAB>figure" lines, peak memory last.
int runChild(int controls, QTextStream& out);

} // namespace AllBench
