#pragma once

class QTextStream;

// Runs a generated tree of Info pages over a generated selector, each page with a !KILL and a
// !SORT, and prints the milliseconds of the whole run and of going back over every page.
namespace RuntimeBench {
int run(int pages, int items, QTextStream& out);
}
