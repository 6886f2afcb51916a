#pragma once

#include <QString>

class CView;

// Runs the operation the tool registry gives an id; an id whose operation arrives with later
// work has none yet, and its tool stays disabled.
namespace CommandDispatcher {

bool Implemented(int id);
// Runs the operation of the id; an id without one does nothing.
void Run(CView& view, int id);

// The installed help pages: "<program folder>/../share/kestrova/help/".
QString HelpFolder();

} // namespace CommandDispatcher
