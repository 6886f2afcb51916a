#pragma once

#include <QList>

class QTextStream;

// The live check over generated trees of each size: the full check (every control, then the
// paths), the paths alone, and the recheck after one edit of a control's lines and after a
// rename, in milliseconds (best of three for the whole checks; median and worst of the edits).
namespace ProblemsBench {
int run(QList<int> sizes, QTextStream& out);
}
