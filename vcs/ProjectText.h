#pragma once

#include "vcs/ProjectData.h"

#include <QLatin1String>

#include <array>
#include <optional>

// The whole project as stable, line-oriented text: the same project always gives the same
// bytes, and a change to one property changes the lines of that property only.
//
//   kestrova project text 1
//   project                            the document's settings, "  key: value"
//   control ID NAME                    each control in decision order: "  key: value" per
//     interface: List                  property, then each option, action and help line
//       ^Red                           indented by four blanks, in stored order
//   selector NAME                      each row of the table as its comma-separated text
//   external selector NAME             its stored settings, a line each
//   picture NAME                       "  sha256: HASH" and "  size: BYTES"
//   layout                             "  ID: X Y WIDTH HEIGHT", the centre and size
//   journey NAME                       the journey's lines as the journeys file writes them
//
// Blocks end with a blank line. Values escape line breaks (see TextEscape).
namespace ProjectText {

inline const QString FirstLine = QStringLiteral("kestrova project text 1");

QString Write(const ProjectData& project);
// What Write wrote, back into data (pictures without their bytes); the line and the reason
// when the text is not a project's.
std::optional<QString> Read(const QString& text, ProjectData& project);

// One layout entry's text: "X Y WIDTH HEIGHT".
QString PlaceText(const QRectF& place);
// The same written into buffer, for a writer that makes no string of it.
inline constexpr size_t PlaceTextCapacity = 128;
QLatin1String PlaceText(const QRectF& place, std::array<char, PlaceTextCapacity>& buffer);
// One selector row as its comma-separated text, line breaks escaped.
QString RowText(const QStringList& row);
// A journey's lines below its name.
QStringList JourneyLines(const Journey& journey);

} // namespace ProjectText
