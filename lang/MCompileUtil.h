#pragma once

#include <QString>

// Conversions of the Designer's notation into the runtimes' notation.
namespace MCompileUtil {

// The argument of !SORT with the order words after the first ";" turned into the descending
// flags the runtimes read: "Ascending" becomes "False" and "Descending" "True", without regard
// to case. Other words and every separator (blank, ":", ";", ",") stay as they are.
QString ConvertSortExpr(const QString& argument);
// The inverse, for a stored record read back: after the first ";" "False" becomes "Ascending"
// and "True" "Descending", so the editors and the validator see the words they know.
QString RestoreSortExpr(const QString& argument);

} // namespace MCompileUtil
