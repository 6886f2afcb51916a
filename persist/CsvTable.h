#pragma once

#include "base/StorageResult.h"

#include <QList>
#include <QStringList>

// Rows of cells as comma-separated text. A cell holding a comma, a double quote or a line
// break is enclosed in double quotes, with each quote inside doubled; every row, the last
// one included, ends with CR LF. Reading accepts CR LF, LF or CR as line ends.
class CsvTable {
public:
    using Rows = QList<QStringList>;

    static QString toText(const Rows& rows);
    // An empty line reads as a row of one empty cell; a row without cells is written so.
    static StorageResult parse(const QString& text, Rows& rows);

private:
    struct Cursor {
        const QString& text;
        qsizetype pos = 0;
        int line = 1;

        bool atEnd() const { return pos >= text.size(); }
        QChar current() const { return text.at(pos); }
    };

    static QString quoted(const QString& cell);
    static StorageResult readCell(Cursor& cursor, QString& cell);
    static StorageResult readQuotedCell(Cursor& cursor, QString& cell);
    static void readPlainCell(Cursor& cursor, QString& cell);
    // Steps over the line end at the cursor, if any; true when one was there.
    static bool skipLineEnd(Cursor& cursor);
};
