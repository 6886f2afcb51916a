#include "lang/BlockHighlight.h"

#include "base/StartUpTables.h"
#include "lang/BlockLine.h"

namespace {

using BlockHighlight::Role;
using BlockHighlight::Span;

bool isMarker(QChar c)
{
    return c == BlockLine::OptionMarker || c == BlockLine::ActionMarker || c == BlockLine::HelpMarker;
}

bool isOperator(QChar c)
{
    static const QString operators = QStringLiteral("&|=<>+-*/^():;,");
    return operators.contains(c);
}

bool isKnownKeyword(const QString& keyword)
{
    return !keyword.isEmpty() && StartUpTables::Keywords().contains(keyword, Qt::CaseInsensitive);
}

// An enclosed part from "open" at position to "close", or to the end of the line when it is
// left open.
int enclosedEnd(const QString& line, int position, QLatin1String close)
{
    const qsizetype end = line.indexOf(close, position + 2);
    return end < 0 ? static_cast<int>(line.size()) : static_cast<int>(end + close.size());
}

int quotedEnd(const QString& line, int position)
{
    int at = position + 1;
    while (at < line.size()) {
        if (line.at(at) == QLatin1Char('"')) {
            // A doubled quote stands for one inside the text.
            if (at + 1 < line.size() && line.at(at + 1) == QLatin1Char('"')) {
                at += 2;
                continue;
            }
            return at + 1;
        }
        ++at;
    }
    return at;
}

int numberEnd(const QString& line, int position)
{
    int at = position;
    while (at < line.size() && (line.at(at).isDigit() || line.at(at) == QLatin1Char('.')))
        ++at;
    return at;
}

bool startsWord(const QString& line, int position)
{
    return position == 0 || !(line.at(position - 1).isLetterOrNumber() || line.at(position - 1) == QLatin1Char('_'));
}

void argumentSpans(const QString& line, int from, QList<Span>& spans)
{
    int at = from;
    while (at < line.size()) {
        const QChar c = line.at(at);
        const QStringView rest = QStringView(line).mid(at);
        int end = at + 1;
        Role role = Role::Operator;
        if (rest.startsWith(QLatin1String("[["))) {
            end = enclosedEnd(line, at, QLatin1String("]]"));
            role = Role::ControlReference;
        } else if (rest.startsWith(QLatin1String("<<"))) {
            end = enclosedEnd(line, at, QLatin1String(">>"));
            role = Role::SelectorReference;
        } else if (c == QLatin1Char('"')) {
            end = quotedEnd(line, at);
            role = Role::QuotedText;
        } else if (c.isDigit() && startsWord(line, at)) {
            end = numberEnd(line, at);
            role = Role::Number;
        } else if (!isOperator(c)) {
            // Names and blanks keep the plain format; a name's digits are no number.
            if (c.isLetter() || c == QLatin1Char('_')) {
                while (end < line.size() && (line.at(end).isLetterOrNumber() || line.at(end) == QLatin1Char('_')))
                    ++end;
            }
            at = end;
            continue;
        }
        spans.append({at, end - at, role});
        at = end;
    }
}

} // namespace

QList<Span> BlockHighlight::Spans(const QString& line)
{
    QList<Span> spans;
    int marker = 0;
    while (marker < line.size() && !isMarker(line.at(marker)))
        ++marker;
    int lead = 0;
    while (lead < marker && line.at(lead).isSpace())
        ++lead;
    if (lead < marker)
        spans.append({lead, marker - lead, Role::Ignored});
    if (marker >= line.size())
        return spans;
    spans.append({marker, 1, Role::Marker});
    const int body = marker + 1;
    const QChar kind = line.at(marker);
    if (kind == BlockLine::OptionMarker || kind == BlockLine::HelpMarker) {
        if (body < line.size())
            spans.append({body, static_cast<int>(line.size()) - body,
                          kind == BlockLine::OptionMarker ? Role::OptionText : Role::HelpText});
        return spans;
    }
    // The keyword ends at the first blank, as every reader of the block takes it.
    qsizetype keywordEnd = line.indexOf(QLatin1Char(' '), body);
    if (keywordEnd < 0)
        keywordEnd = line.size();
    const int keywordLength = static_cast<int>(keywordEnd) - body;
    if (keywordLength > 0)
        spans.append({body, keywordLength,
                      isKnownKeyword(line.mid(body, keywordLength).trimmed()) ? Role::Keyword : Role::UnknownKeyword});
    argumentSpans(line, static_cast<int>(keywordEnd), spans);
    return spans;
}
