#include "lang/RecordFields.h"

#include <algorithm>

namespace {

constexpr QChar Quote = QLatin1Char('"');
constexpr QChar Backslash = QLatin1Char('\\');

bool isDelimiter(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char(',');
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool atFieldEnd(const QString& text, qsizetype pos)
{
    return pos >= text.size() || isDelimiter(text.at(pos)) || isLineBreak(text.at(pos));
}

// From after the opening quote to after the closing one. False when the text ends first.
bool readQuoted(const QString& text, qsizetype& pos, bool backslashEscapes, QString& field)
{
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c != Quote) {
            field += c;
            continue;
        }
        if (backslashEscapes && !field.isEmpty() && field.back() == Backslash) {
            field += c;
            continue;
        }
        if (!backslashEscapes && pos < text.size() && text.at(pos) == Quote) {
            field += c;
            ++pos;
            continue;
        }
        return true;
    }
    return false;
}

// Text after a closing quote belongs to the field, as the tokenizer reads it.
void readPlain(const QString& text, qsizetype& pos, QString& field)
{
    while (!atFieldEnd(text, pos))
        field += text.at(pos++);
}

void skipLineBreak(const QString& text, qsizetype& pos)
{
    if (text.at(pos) == QLatin1Char('\r'))
        ++pos;
    if (pos < text.size() && text.at(pos) == QLatin1Char('\n'))
        ++pos;
}

} // namespace

QString RecordFields::Quoted(const QString& text)
{
    const bool needsQuotes = text.startsWith(Quote) || std::any_of(text.cbegin(), text.cend(), [](QChar c) {
                                 return isDelimiter(c) || isLineBreak(c);
                             });
    if (!needsQuotes)
        return text;
    QString doubled = text;
    doubled.replace(Quote, QStringLiteral("\"\""));
    return Quote + doubled + Quote;
}

RecordFields::Record RecordFields::Read(const QString& text, qsizetype& pos)
{
    Record record;
    for (;;) {
        QString field;
        if (pos < text.size() && text.at(pos) == Quote) {
            ++pos;
            const bool header = record.fields.size() + 1 == HeaderField;
            if (!readQuoted(text, pos, header, field))
                record.unclosedQuote = true;
            record.textAfterQuote = record.textAfterQuote || !atFieldEnd(text, pos);
        }
        readPlain(text, pos, field);
        record.fields.append(field);
        if (pos >= text.size())
            break;
        if (isLineBreak(text.at(pos))) {
            skipLineBreak(text, pos);
            break;
        }
        ++pos;
    }
    return record;
}
