#pragma once

#include <QStringList>

// The two tables that start-up fills from the string table before the application object
// exists: the action keywords and the input-interface type names. They never change after.
namespace StartUpTables {

inline constexpr int FirstKeywordId = 8050;
inline constexpr int KeywordCount = 15;

// "CALL", "DEFAULT", ... "SUBMIT", in string-table order (ids 8050 to 8064).
const QStringList& Keywords();
// The sixteen type names in alphabetical order without regard to case.
const QStringList& InterfaceNames();
// The string-table ids of InterfaceNames(), in the same order.
const QList<int>& InterfaceNameIds();

// Reads both tables now, so that later readers never touch the string table.
void Fill();

} // namespace StartUpTables
