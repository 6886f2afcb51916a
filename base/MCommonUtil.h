#pragma once

#include <QString>

namespace MCommonUtil {

// The working copy beside a project: its three-letter extension replaced by "tmp"
// ("cars.kvp" gives "cars.tmp"); "tmp" is appended when the name has no such extension. A name
// that would leave no room for the lock beside the working copy ("<working copy>.lock") in a
// folder entry is shortened, and a hash of the project's name keeps it its own.
QString GetTempFile(const QString& path);

// The program's one number rule: a decimal number with an optional sign, decimal point and
// exponent, in ASCII digits ("12", "-3.5", ".5", "5.", "1e-3"), blanks around it allowed. It is
// a rule of writing: a number too small or too large for a double still is one ("1e-400"),
// while "inf", "nan", hexadecimal and group separators are not.
bool IsNumeric(const QString& text);

} // namespace MCommonUtil
