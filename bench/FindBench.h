#pragma once

#include <QList>

class IPrompt;
class Project;
class QTextStream;

// Finds and replaces a text in every field of generated trees of each size and in a 10,000-row
// selector, and prints the milliseconds with the number of matches.
namespace FindBench {

struct Timing {
    int controls = 0;
    qint64 findMs = 0;
    qsizetype found = 0;
    qint64 replaceMs = 0;
    qint64 replaced = 0;
    qint64 undoMs = 0;
};

int run(const QList<int>& sizes, QTextStream& out);
// Adds the selector to the project (already filled) and finds, replaces and undoes there; the
// prompt is the one the project was made with.
Timing measure(Project& project, IPrompt& prompt);

} // namespace FindBench
