#pragma once

#include <QStringList>

class QTextStream;

// The Designer's own --help [man] and --version, answered before any window is made, so that a
// build or a packager can run them without a display.
namespace DesignerHelp {

// Whether the arguments (without the program's name) ask for help or the version.
bool IsRequest(const QStringList& args);
// Answers such a request: 0 with the text on out, 2 with the usage on err for wrong arguments.
int Answer(const QStringList& args, QTextStream& out, QTextStream& err);
// The Designer's manual page.
void WriteManual(QTextStream& out);

} // namespace DesignerHelp
