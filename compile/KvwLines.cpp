#include "compile/KvwLines.h"

#include <QStringBuilder>

#include <algorithm>

namespace KvwLines {

namespace {

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

QString nameAttribute(const QString& name)
{
    return name.isEmpty() ? QString() : QLatin1String(" Name='") % EscapeAttribute(name) % QLatin1Char('\'');
}

// The indent as a view of a row of TABs, so that a line is built in one allocation.
QLatin1String tabs(int count)
{
    static constexpr char row[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    return QLatin1String(row, std::clamp<qsizetype>(count, 0, sizeof row - 1));
}

} // namespace

QString Indent(int count)
{
    return QString(count, QLatin1Char('\t'));
}

bool IsPlain(const QString& text, QStringView special)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != 0x9 && u != 0xA && u != 0xD) || c.isSurrogate() || u >= 0xFFFE || special.contains(c))
            return false;
    }
    return true;
}

QString XmlCharactersOnly(const QString& text)
{
    if (IsPlain(text, {}))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
        } else if (!c.isSurrogate() && isXmlCharacter(c.unicode())) {
            result += c;
        }
    }
    return result;
}

QString EscapeText(const QString& text)
{
    if (IsPlain(text, u"&<>"))
        return text;
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : XmlCharactersOnly(text)) {
        switch (c.unicode()) {
        case '&': result += QLatin1String("&amp;"); break;
        case '<': result += QLatin1String("&lt;"); break;
        case '>': result += QLatin1String("&gt;"); break;
        default: result += c;
        }
    }
    return result;
}

QString EscapeAttribute(const QString& value)
{
    if (IsPlain(value, u"&<>'\"\t\r\n"))
        return value;
    QString result;
    result.reserve(value.size() + 8);
    for (const QChar c : EscapeText(value)) {
        switch (c.unicode()) {
        case '\'': result += QLatin1String("&apos;"); break;
        case '"': result += QLatin1String("&quot;"); break;
        case '\t': result += QLatin1String("&#9;"); break;
        case '\n': result += QLatin1String("&#10;"); break;
        case '\r': result += QLatin1String("&#13;"); break;
        default: result += c;
        }
    }
    return result;
}

QString Element(int indent, const QString& tag, const QString& value, const QString& name)
{
    return tabs(indent) % QLatin1Char('<') % tag % nameAttribute(name) % QLatin1Char('>') % value % QLatin1String("</")
           % tag % QLatin1String(">\n");
}

QString Open(int indent, const QString& tag, const QString& name, bool lineFeed)
{
    return tabs(indent) % QLatin1Char('<') % tag % nameAttribute(name) % QLatin1Char('>')
           % (lineFeed ? QLatin1String("\n") : QLatin1String());
}

QString Close(int indent, const QString& tag)
{
    return tabs(indent) % QLatin1String("</") % tag % QLatin1String(">\n");
}

QString Range(int indent, bool subRange, const QString& from, const QString& to)
{
    return tabs(indent) % (subRange ? QLatin1String("<SubRange From='") : QLatin1String("<Range From='"))
           % EscapeAttribute(from) % QLatin1String("' To='") % EscapeAttribute(to)
           % (subRange ? QLatin1String("'>\n") : QLatin1String("' />\n"));
}

} // namespace KvwLines
