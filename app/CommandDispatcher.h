#pragma once

#include <QString>

class CView;

// Which operation each tool id runs. Every id of the command bands has its place here; an id
// whose operation arrives with later work has none yet, and its tool stays disabled.
namespace CommandDispatcher {

bool Implemented(int id);
// Runs the operation of the id; an id without one does nothing.
void Run(CView& view, int id);

// The installed help pages: "<program folder>/../share/kestrova/help/".
QString HelpFolder();

} // namespace CommandDispatcher
