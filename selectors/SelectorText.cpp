#include "selectors/SelectorText.h"

#include "base/ResourceStrings.h"
#include "lang/RecordFields.h"

namespace {

constexpr int UnclosedQuoteId = 32200;
constexpr QChar Quote = QLatin1Char('"');

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isCellEnd(QChar c)
{
    return c == QLatin1Char(',') || c == QLatin1Char('\t') || isLineBreak(c);
}

// Reads the text of one line cell by cell; a quoted cell may run over line breaks.
class LineReader {
public:
    explicit LineReader(const QString& text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    int line() const { return m_line; }

    // False when a quoted cell runs to the end of the text.
    bool readRow(QStringList& cells)
    {
        for (;;) {
            QString cell;
            if (!atEnd() && m_text.at(m_pos) == Quote && !readQuoted(cell))
                return false;
            readPlain(cell);
            cells.append(cell);
            if (atEnd())
                return true;
            const QChar end = m_text.at(m_pos++);
            if (isLineBreak(end)) {
                if (end == QLatin1Char('\r') && !atEnd() && m_text.at(m_pos) == QLatin1Char('\n'))
                    ++m_pos;
                ++m_line;
                return true;
            }
        }
    }

private:
    bool readQuoted(QString& cell)
    {
        ++m_pos;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('\n'))
                ++m_line;
            if (c != Quote) {
                cell += c;
            } else if (!atEnd() && m_text.at(m_pos) == Quote) {
                cell += Quote;
                ++m_pos;
            } else {
                return true;
            }
        }
        return false;
    }

    // Text after a closing quote stays part of the cell, as the tokenizer would read it.
    void readPlain(QString& cell)
    {
        const qsizetype start = m_pos;
        while (!atEnd() && !isCellEnd(m_text.at(m_pos)))
            ++m_pos;
        cell += QStringView(m_text).mid(start, m_pos - start);
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

QString SelectorText::Write(const Rows& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        // A lone empty cell in quotes: other readers take an empty line for no cells at all.
        if (row.size() == 1 && row.first().isEmpty()) {
            text += QLatin1String("\"\"\r\n");
            continue;
        }
        for (qsizetype column = 0; column < row.size(); ++column) {
            if (column > 0)
                text += QLatin1Char(',');
            text += RecordFields::Quoted(row.at(column));
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

StorageResult SelectorText::Read(const QString& text, Rows& rows)
{
    rows.clear();
    LineReader reader(text);
    while (!reader.atEnd()) {
        const int line = reader.line();
        QStringList cells;
        if (!reader.readRow(cells)) {
            rows.clear();
            return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(UnclosedQuoteId).arg(line));
        }
        rows.append(std::move(cells));
    }
    return StorageResult::success();
}
