#pragma once

#include "base/StorageResult.h"

#include <QList>
#include <QStringList>

// The one text form of a selector table, stored in the project and exchanged as a .csv file.
// Every line ends with CR LF; cells are separated by "," when written and by "," or TAB when
// read. A cell is written in double quotes, with the quotes inside it doubled, when it holds a
// comma, a TAB or a line break or begins with a quote; every other cell is written unchanged,
// a quote inside it included. This is the quoting of the stored decision records: without the
// doubling a cell holding both a comma and a quote could not be read back.
namespace SelectorText {

using Rows = QList<QStringList>;

QString Write(const Rows& rows);
// One row a line; an empty line is a row of one empty cell. Refuses a quoted cell that is
// never closed, naming its line.
StorageResult Read(const QString& text, Rows& rows);

} // namespace SelectorText
