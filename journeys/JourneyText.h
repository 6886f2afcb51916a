#pragma once

#include "journeys/Journey.h"

#include <QList>
#include <QString>

#include <optional>

// The journeys as plain text, for review beside the project and for the project's own node.
// One block a journey, a blank line between blocks:
//
//   journey: Gamer on a budget
//   start: Welcome                        (optional; else the first control)
//   Budget=900                            (answers, as in an answers file; BACK presses Back)
//   FINISH                                (optional: finish where the answers run out)
//   finish: SortOrder                     (optional: finish on that page once it is answered)
//   expect path: Welcome > Budget > MainUse > [done]
//   expect value: Budget = 900
//   expect holds: Laptops: Kite Book 15
//   expect lacks: Laptops: Lumen Air 13
//   expect end: done                      (done, finished or open)
//
// Lines starting with # and blank lines are skipped. In answers and values a backslash starts
// \n (line feed), \r (carriage return) or \\ (a backslash); any other backslash stands for itself.
namespace JourneyText {

// "[done]" in a path: the engine's own done page.
inline const QString DefaultDonePage = QStringLiteral("[done]");

QString write(const QList<Journey>& journeys);
// The journeys, or the reason (with its line) when the text is not journeys.
std::optional<QString> read(const QString& text, QList<Journey>& journeys);

QString escaped(const QString& value);
QString unescaped(const QString& value);

} // namespace JourneyText
