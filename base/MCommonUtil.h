#pragma once

#include <QString>

namespace MCommonUtil {

// The working copy beside a project: its three-letter extension replaced by "tmp"
// ("cars.kvp" gives "cars.tmp"); "tmp" is appended when the name has no such extension.
QString GetTempFile(const QString& path);

// True when the text is a number in the C locale ("12", "-3.5", "1e3").
bool IsNumeric(const QString& text);

} // namespace MCommonUtil
