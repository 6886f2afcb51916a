#pragma once

#include <QString>

#include <functional>

// How selectors are named.
namespace SelectorNames {

// The explorer's "add" entry of older projects; never stored as a selector.
bool IsReserved(const QString& name);
// A name that reaches the selector's own node: not empty, no "\", not the folder of the
// external selectors, not the reserved entry.
bool IsValid(const QString& name);
// The longest numeric tail plus one (SSS1 gives SSS2, SSS09 gives SSS10); "1" appended to a
// name without one.
QString GetNextID(const QString& name);
// name, then GetNextID of it until taken says no (and the name is valid).
QString FirstFree(const QString& name, const std::function<bool(const QString&)>& taken);
// The file name without its folder, cut at its first "." after the first character
// (report.data.csv gives report, .hidden.csv gives .hidden).
QString FromFile(const QString& path);

} // namespace SelectorNames
