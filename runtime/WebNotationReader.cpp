#include "runtime/WebNotationReader.h"

#include "lang/BlockLine.h"
#include "lang/ExpressionNode.h"
#include "lang/ExpressionParser.h"
#include "lang/ReferenceWalk.h"

#include <algorithm>
#include <array>

namespace {

const QString QuoteWord = QStringLiteral("+dquot");
const std::array<QLatin1String, 3> Casts{QLatin1String("(num)"), QLatin1String("(bool)"),
                                         QLatin1String("(stringReturnQuotes)")};

bool isKeyword(const QString& keyword, BlockLine::Keyword word)
{
    return keyword.compare(BlockLine::KeywordText(word), Qt::CaseInsensitive) == 0;
}

// The actions whose argument the web compiler wrote with balanced quotes.
bool hasBalancedQuotes(const QString& keyword)
{
    for (BlockLine::Keyword word : {BlockLine::Kill, BlockLine::Sort, BlockLine::Set, BlockLine::Default, BlockLine::If,
                                    BlockLine::ElseIf, BlockLine::Jump, BlockLine::JumpN, BlockLine::Go}) {
        if (isKeyword(keyword, word))
            return true;
    }
    return false;
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A word the grammar reads as a bare property.
bool isPropertyName(const QString& word)
{
    if (word.isEmpty() || !isNameStart(word.front()) || !std::all_of(word.begin(), word.end(), isNameCharacter))
        return false;
    return word.compare(QLatin1String("True"), Qt::CaseInsensitive) != 0
           && word.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0
           && !ExpressionNode::functionFromName(word).has_value();
}

// Moves pos past a cast written right after an operand.
void skipCast(const QString& web, qsizetype& pos)
{
    for (const QLatin1String cast : Casts) {
        if (QStringView(web).mid(pos).startsWith(cast)) {
            pos += cast.size();
            return;
        }
    }
}

// The text of a quoted value that starts at pos, "+dquot" read as a quote; pos moves past it.
std::optional<QString> quotedText(const QString& web, qsizetype& pos)
{
    const qsizetype close = web.indexOf(QLatin1Char('"'), pos + 1);
    if (close < 0)
        return std::nullopt;
    QString text = web.mid(pos + 1, close - pos - 1);
    text.replace(QuoteWord, QLatin1String("\""));
    pos = close + 1;
    return text;
}

// Where the bracketed part that starts at pos ends (past its closing pair), or -1.
qsizetype pastClosing(const QString& text, qsizetype pos, QLatin1String closing)
{
    const qsizetype close = text.indexOf(closing, pos + 2);
    return close < 0 ? -1 : close + closing.size();
}

// Pieces of text separated by sep where it stands outside quotes, [[ ]], << >> and parentheses.
QStringList splitOutside(const QString& text, QChar sep, int maxParts = -1)
{
    QStringList pieces;
    qsizetype start = 0;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                break;
            i = close;
            continue;
        }
        const QStringView pair = QStringView(text).mid(i, 2);
        if (pair == QLatin1String("[[") || pair == QLatin1String("<<")) {
            const qsizetype end = pastClosing(text, i, c == QLatin1Char('[') ? QLatin1String("]]") : QLatin1String(">>"));
            if (end > 0) {
                i = end - 1;
                continue;
            }
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            depth = std::max(0, depth - 1);
        else if (c == sep && depth == 0 && (maxParts < 0 || pieces.size() + 1 < maxParts)) {
            pieces.append(text.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    pieces.append(text.mid(start).trimmed());
    return pieces;
}

} // namespace

WebNotationReader::WebNotationReader(QHash<int, QString> names) : m_names(std::move(names))
{
}

QStringList WebNotationReader::actions(const QString& element) const
{
    QStringList lines;
    const QString text = element.trimmed();
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype keywordEnd = start + 1;
        while (keywordEnd < text.size() && text.at(keywordEnd).isLetter())
            ++keywordEnd;
        const bool quotes = hasBalancedQuotes(text.mid(start + 1, keywordEnd - start - 1));
        // Actions gathered into one element are joined by ",": each ends at ";" before ",!".
        qsizetype end = text.size();
        bool quoted = false;
        for (qsizetype i = keywordEnd; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('"') && quotes)
                quoted = !quoted;
            else if (c == QLatin1Char(';') && !quoted
                     && (i + 1 == text.size() || QStringView(text).mid(i + 1, 2) == QLatin1String(",!"))) {
                end = i;
                break;
            }
        }
        lines.append(action(text.mid(start, end - start)));
        start = end + 2;
    }
    return lines;
}

QString WebNotationReader::action(const QString& web) const
{
    const QString keyword = BlockLine::ActionKeyword(web);
    const QString argument = BlockLine::ActionArgument(web).trimmed();
    if (!web.startsWith(BlockLine::ActionMarker))
        return references(web);
    QString converted;
    if (isKeyword(keyword, BlockLine::Kill) || isKeyword(keyword, BlockLine::Sort)) {
        converted = selectorAction(argument, isKeyword(keyword, BlockLine::Sort));
    } else if (isKeyword(keyword, BlockLine::Set) || isKeyword(keyword, BlockLine::Default)) {
        converted = setAction(argument);
    } else if (isKeyword(keyword, BlockLine::If) || isKeyword(keyword, BlockLine::ElseIf)) {
        converted = expression(argument);
    } else if (isKeyword(keyword, BlockLine::Go)) {
        // The desktop tree names the target without brackets; an unnamed control by its number.
        converted = controlName(argument);
        bool numeric = false;
        const QString inside = converted.mid(2, converted.size() - 4);
        inside.toInt(&numeric);
        if (converted.startsWith(QLatin1String("[[")) && (numeric || converted != argument))
            converted = inside;
    } else if (isKeyword(keyword, BlockLine::Jump) || isKeyword(keyword, BlockLine::JumpN)) {
        QString address = argument;
        for (const QLatin1String cast : Casts) {
            if (address.endsWith(cast))
                address.chop(cast.size());
        }
        qsizetype pos = 0;
        const std::optional<QString> text = address.startsWith(QLatin1Char('"')) ? quotedText(address, pos) : std::nullopt;
        converted = text && pos == address.size() ? *text : address;
    } else {
        converted = references(argument);
    }
    QString line = BlockLine::ActionMarker + keyword;
    if (!converted.isEmpty())
        line += QLatin1Char(' ') + converted;
    return line;
}

QString WebNotationReader::selectorAction(const QString& argument, bool sort) const
{
    const qsizetype colon = argument.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return references(argument);
    const QString list = argument.left(colon).trimmed();
    const QString rest = argument.mid(colon + 1);
    if (!sort)
        return list + QLatin1String(": ") + expression(rest, list);
    const QStringList halves = splitOutside(rest, QLatin1Char(';'), 2);
    QStringList keys;
    for (const QString& key : splitOutside(halves.first(), QLatin1Char(',')))
        keys.append(expression(key, list));
    QString text = list + QLatin1String(": ") + keys.join(QLatin1String(", "));
    if (halves.size() > 1)
        text += QLatin1String("; ") + halves.at(1);
    return text;
}

QString WebNotationReader::setAction(const QString& argument) const
{
    const qsizetype closing = argument.startsWith(QLatin1String("[[")) ? argument.indexOf(QLatin1String("]]")) : 0;
    const qsizetype equals = argument.indexOf(QLatin1Char('='), std::max<qsizetype>(closing, 0));
    if (equals <= 0)
        return references(argument);
    return controlName(argument.left(equals).trimmed()) + QLatin1String(" = ") + expression(argument.mid(equals + 1));
}

QString WebNotationReader::expression(const QString& web, const QString& list) const
{
    const std::optional<QString> translated = translate(web, list.trimmed());
    const ExpressionParseResult parsed = ExpressionParser::parse(translated.value_or(QString()));
    return parsed.ok() ? parsed.root->toText() : references(web.trimmed());
}

QString WebNotationReader::references(const QString& text) const
{
    QString result;
    qsizetype pos = 0;
    for (const ReferenceWalk::BracketSpan& span : ReferenceWalk::BracketSpans(text)) {
        result += text.mid(pos, span.begin - pos);
        result += controlName(text.mid(span.begin, span.end - span.begin));
        pos = span.end;
    }
    return result + text.mid(pos);
}

QString WebNotationReader::controlName(const QString& reference) const
{
    const bool bracketed = reference.startsWith(QLatin1String("[[")) && reference.endsWith(QLatin1String("]]"))
                           && reference.size() >= 4;
    const QString inside = bracketed ? reference.mid(2, reference.size() - 4).trimmed() : reference;
    bool numeric = false;
    const int number = inside.toInt(&numeric);
    const auto name = numeric ? m_names.constFind(number) : m_names.constEnd();
    if (name == m_names.constEnd())
        return reference;
    return bracketed ? QLatin1String("[[") + name.value() + QLatin1String("]]") : name.value();
}

QString WebNotationReader::itemReference(const QString& selector, const QString& property, const QString& list) const
{
    if (!list.isEmpty() && selector.trimmed().compare(list, Qt::CaseInsensitive) == 0 && isPropertyName(property.trimmed()))
        return property.trimmed();
    return QLatin1String("<<") + selector + QLatin1Char(':') + property + QLatin1String(";-1>>");
}

std::optional<QString> WebNotationReader::translate(const QString& web, const QString& list) const
{
    QString out;
    out.reserve(web.size());
    bool operand = true;
    qsizetype pos = 0;
    const auto at = [&web](qsizetype i) { return i < web.size() ? web.at(i) : QChar(); };
    while (pos < web.size()) {
        const QChar c = web.at(pos);
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            ++pos;
            continue;
        }
        if (!operand) {
            if (c == QLatin1Char(')')) {
                out += c;
                ++pos;
                continue;
            }
            const QStringView pair = QStringView(web).mid(pos, 2);
            const bool twoCharacters = pair == QLatin1String("<=") || pair == QLatin1String(">=") || pair == QLatin1String("<>");
            if (!twoCharacters && !QStringLiteral("<>=+-*/^|&").contains(c))
                return std::nullopt;
            const qsizetype length = twoCharacters ? 2 : 1;
            out += QLatin1Char(' ') + web.mid(pos, length) + QLatin1Char(' ');
            pos += length;
            operand = true;
            continue;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char('-') || c == QLatin1Char('+')) {
            out += c;
            ++pos;
            continue;
        }
        operand = false;
        if (c == QLatin1Char('"')) {
            const std::optional<QString> first = quotedText(web, pos);
            if (!first)
                return std::nullopt;
            if (at(pos) == QLatin1Char(':') && at(pos + 1) == QLatin1Char('"')) {
                ++pos;
                const std::optional<QString> second = quotedText(web, pos);
                if (!second)
                    return std::nullopt;
                out += itemReference(*first, *second, list);
                skipCast(web, pos);
            } else {
                out += ExpressionNode::QuotedText(*first);
            }
        } else if (c == QLatin1Char('[') && at(pos + 1) == QLatin1Char('[')) {
            const qsizetype end = pastClosing(web, pos, QLatin1String("]]"));
            if (end < 0)
                return std::nullopt;
            out += controlName(web.mid(pos, end - pos));
            pos = end;
            skipCast(web, pos);
        } else if (c == QLatin1Char('<') && at(pos + 1) == QLatin1Char('<')) {
            const qsizetype end = pastClosing(web, pos, QLatin1String(">>"));
            if (end < 0)
                return std::nullopt;
            out += web.mid(pos, end - pos);
            pos = end;
            skipCast(web, pos);
        } else if (c.isDigit() || c == QLatin1Char('.')) {
            const qsizetype start = pos;
            while (at(pos).isDigit() || at(pos) == QLatin1Char('.') || at(pos).toUpper() == QLatin1Char('E')
                   || ((at(pos) == QLatin1Char('+') || at(pos) == QLatin1Char('-')) && at(pos - 1).toUpper() == QLatin1Char('E')))
                ++pos;
            out += web.mid(start, pos - start);
        } else if (isNameStart(c)) {
            const qsizetype start = pos;
            while (isNameCharacter(at(pos)))
                ++pos;
            const QString name = web.mid(start, pos - start);
            out += name;
            // A function's argument follows in parentheses.
            operand = at(pos) == QLatin1Char('(') && ExpressionNode::functionFromName(name).has_value();
        } else {
            return std::nullopt;
        }
    }
    return out;
}
