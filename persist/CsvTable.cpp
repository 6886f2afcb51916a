#include "persist/CsvTable.h"

#include "base/ResourceStrings.h"
#include "persist/StorageText.h"

namespace {
constexpr QChar Comma = u',';
constexpr QChar Quote = u'"';
constexpr QChar Cr = u'\r';
constexpr QChar Lf = u'\n';
constexpr QChar ByteOrderMark = QChar(0xfeff);

bool endsCell(QChar c)
{
    return c == Comma || c == Cr || c == Lf;
}
} // namespace

QString CsvTable::toText(const Rows& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += Comma;
            text += quoted(row.at(i));
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QString CsvTable::quoted(const QString& cell)
{
    const bool needsQuotes = cell.contains(Comma) || cell.contains(Quote) || cell.contains(Cr) || cell.contains(Lf);
    if (!needsQuotes)
        return cell;
    QString doubled = cell;
    doubled.replace(Quote, QLatin1String("\"\""));
    return Quote + doubled + Quote;
}

StorageResult CsvTable::parse(const QString& text, Rows& rows)
{
    rows.clear();
    Cursor cursor{text};
    if (!cursor.atEnd() && cursor.current() == ByteOrderMark)
        ++cursor.pos;
    QStringList row;
    while (!cursor.atEnd()) {
        QString cell;
        if (StorageResult read = readCell(cursor, cell); !read)
            return read;
        row.append(cell);
        if (!cursor.atEnd() && cursor.current() == Comma) {
            ++cursor.pos;
            // A comma at the very end still opens one last, empty cell.
            if (cursor.atEnd())
                row.append(QString());
            continue;
        }
        skipLineEnd(cursor);
        rows.append(row);
        row.clear();
    }
    if (!row.isEmpty())
        rows.append(row);
    return StorageResult::success();
}

StorageResult CsvTable::readCell(Cursor& cursor, QString& cell)
{
    if (cursor.current() == Quote)
        return readQuotedCell(cursor, cell);
    readPlainCell(cursor, cell);
    return StorageResult::success();
}

StorageResult CsvTable::readQuotedCell(Cursor& cursor, QString& cell)
{
    const int startLine = cursor.line;
    ++cursor.pos;
    while (!cursor.atEnd()) {
        const QChar c = cursor.current();
        if (c != Quote) {
            // Line breaks inside the cell stay as written; they only move the line count.
            const qsizetype before = cursor.pos;
            if (!skipLineEnd(cursor))
                ++cursor.pos;
            cell += QStringView(cursor.text).mid(before, cursor.pos - before);
            continue;
        }
        ++cursor.pos;
        if (!cursor.atEnd() && cursor.current() == Quote) {
            cell += Quote;
            ++cursor.pos;
            continue;
        }
        if (cursor.atEnd() || endsCell(cursor.current()))
            return StorageResult::success();
        return StorageResult::failure(StorageErrorKind::Corrupt,
                                      LoadResString(TextCsvTextAfterQuote).arg(cursor.line));
    }
    return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(TextCsvOpenQuote).arg(startLine));
}

void CsvTable::readPlainCell(Cursor& cursor, QString& cell)
{
    const qsizetype start = cursor.pos;
    while (!cursor.atEnd() && !endsCell(cursor.current()))
        ++cursor.pos;
    cell = cursor.text.mid(start, cursor.pos - start);
}

bool CsvTable::skipLineEnd(Cursor& cursor)
{
    if (cursor.atEnd())
        return false;
    if (cursor.current() == Cr) {
        ++cursor.pos;
        if (!cursor.atEnd() && cursor.current() == Lf)
            ++cursor.pos;
    } else if (cursor.current() == Lf) {
        ++cursor.pos;
    } else {
        return false;
    }
    ++cursor.line;
    return true;
}
