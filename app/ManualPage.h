#pragma once

#include <QString>

class QTextStream;

// Manual pages (roff, section 1) of the two programs, so that the Designer's own --help man and
// the command line's write them the same way.
namespace ManualPage {

// Roff text: a backslash doubled, a line that would start with a control character protected,
// dashes of options kept as minus signs.
QString roff(const QString& text);
// The page's title line and its NAME section.
void writeHead(QTextStream& out, const QString& name, const QString& summary);

} // namespace ManualPage
