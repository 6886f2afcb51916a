#pragma once

#include <QList>

class QTextStream;

// Imports, saves with the project, opens in the grid and exports a generated selector table of
// each size (rows of 12 properties) and prints the milliseconds.
namespace SelectorBench {
int run(const QList<int>& rows, QTextStream& out);
}
