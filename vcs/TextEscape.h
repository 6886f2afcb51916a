#pragma once

#include <QString>

// Values in the line-oriented text forms: a line feed is written \n, a carriage return \r, and
// a backslash is doubled only where it would otherwise start one of those (or another \\), so
// most backslashes stand for themselves. Reads back with JourneyText::unescaped.
namespace TextEscape {

QString escaped(const QString& value);
// Appends the escaped value.
void append(QString& text, const QString& value);
QString unescaped(const QString& value);

} // namespace TextEscape
