#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QList>

// How a tool looks and which keys reach it: icons from the desktop's theme, with our own
// drawings for the toolbar tools where the theme has none.
namespace ToolDecorations {

QIcon Icon(int toolId);
// The program's icon: the installed one of the theme, else the bundled drawing.
QIcon ProgramIcon();
// The first sequence is the one the menu shows.
QList<QKeySequence> Shortcuts(int toolId);

} // namespace ToolDecorations
