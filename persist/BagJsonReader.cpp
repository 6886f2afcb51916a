#include "persist/BagJsonReader.h"

#include "base/ResourceStrings.h"
#include "persist/PropertyTable.h"
#include "persist/StorageText.h"

namespace {
// Deeper nesting than any object tree of ours; stops a damaged text from exhausting the stack.
constexpr int MaxDepth = 256;
} // namespace

QString BagJsonReader::read(QStringView text, PropertyTable& table)
{
    BagJsonReader reader(text);
    reader.skipSpace();
    if (reader.readBag(table, 0)) {
        reader.skipSpace();
        if (!reader.atEnd())
            reader.fail();
    }
    return reader.m_problem;
}

bool BagJsonReader::readBag(PropertyTable& table, int depth)
{
    if (depth > MaxDepth)
        return fail();
    if (!take(u'{'))
        return failNotBag();
    bool hasClass = false;
    bool hasProps = false;
    skipSpace();
    while (!take(u'}')) {
        if ((hasClass || hasProps) && !take(u','))
            return fail();
        QString key;
        PropertyValue value;
        if (!readString(key) || !take(u':'))
            return fail();
        if (key == u"props") {
            if (!readProps(table, depth))
                return false;
            hasProps = true;
        } else if (key == u"class" && readValue(value, depth)
                   && std::holds_alternative<qint64>(value.data)) {
            table.setClassId(static_cast<int>(std::get<qint64>(value.data)));
            hasClass = true;
        } else {
            return m_problem.isEmpty() ? failNotBag() : false;
        }
        skipSpace();
    }
    return hasClass && hasProps ? true : failNotBag();
}

bool BagJsonReader::readProps(PropertyTable& table, int depth)
{
    if (!take(u'{'))
        return failNotBag();
    skipSpace();
    bool first = true;
    while (!take(u'}')) {
        if (!first && !take(u','))
            return fail();
        first = false;
        QString name;
        PropertyValue value;
        if (!readString(name) || !take(u':') || !readValue(value, depth))
            return m_problem.isEmpty() ? fail() : false;
        table.set(name, std::move(value));
        skipSpace();
    }
    return true;
}

bool BagJsonReader::readValue(PropertyValue& value, int depth)
{
    skipSpace();
    const QChar c = peek();
    if (c == u'{') {
        auto nested = std::make_shared<PropertyTable>();
        if (!readBag(*nested, depth + 1))
            return false;
        value.data = std::move(nested);
        return true;
    }
    if (c == u'"') {
        QString text;
        if (!readString(text))
            return false;
        value.data = std::move(text);
        return true;
    }
    if (c == u't' || c == u'f') {
        value.data = c == u't';
        return readWord(c == u't' ? QLatin1String("true") : QLatin1String("false"));
    }
    if (c == u'n') {
        value.data = std::monostate();
        return readWord(QLatin1String("null"));
    }
    return readNumber(value);
}

bool BagJsonReader::readString(QString& out)
{
    if (!take(u'"'))
        return fail();
    qsizetype plainFrom = m_pos;
    while (!atEnd()) {
        const QChar c = m_text.at(m_pos);
        if (c == u'"') {
            out += m_text.mid(plainFrom, m_pos - plainFrom);
            ++m_pos;
            return true;
        }
        if (c == u'\\') {
            out += m_text.mid(plainFrom, m_pos - plainFrom);
            ++m_pos;
            if (!readEscape(out))
                return fail();
            plainFrom = m_pos;
            continue;
        }
        if (c.unicode() < 0x20)
            return fail();
        ++m_pos;
    }
    return fail();
}

bool BagJsonReader::readEscape(QString& out)
{
    if (atEnd())
        return false;
    const QChar c = m_text.at(m_pos++);
    switch (c.unicode()) {
    case u'"': out += u'"'; return true;
    case u'\\': out += u'\\'; return true;
    case u'/': out += u'/'; return true;
    case u'b': out += u'\b'; return true;
    case u'f': out += u'\f'; return true;
    case u'n': out += u'\n'; return true;
    case u'r': out += u'\r'; return true;
    case u't': out += u'\t'; return true;
    case u'u': break;
    default: return false;
    }
    const QStringView digits = m_text.mid(m_pos, 4);
    bool ok = false;
    const ushort code = digits.size() == 4 ? digits.toUShort(&ok, 16) : 0;
    if (!ok)
        return false;
    m_pos += 4;
    out += QChar(code);
    return true;
}

bool BagJsonReader::readNumber(PropertyValue& value)
{
    const qsizetype start = m_pos;
    bool whole = true;
    while (!atEnd()) {
        const QChar c = peek();
        if (c == u'.' || c == u'e' || c == u'E')
            whole = false;
        else if (!c.isDigit() && c != u'-' && c != u'+')
            break;
        ++m_pos;
    }
    const QStringView number = m_text.mid(start, m_pos - start);
    bool ok = false;
    if (whole) {
        const qint64 parsed = number.toLongLong(&ok);
        if (ok) {
            value.data = parsed;
            return true;
        }
    }
    // Whole numbers beyond 64 bits are kept as doubles.
    const double parsed = number.toDouble(&ok);
    if (!ok)
        return fail();
    value.data = parsed;
    return true;
}

bool BagJsonReader::readWord(QLatin1String word)
{
    for (const char letter : word) {
        if (atEnd() || m_text.at(m_pos) != QLatin1Char(letter))
            return fail();
        ++m_pos;
    }
    return true;
}

bool BagJsonReader::take(QChar expected)
{
    skipSpace();
    if (peek() != expected || atEnd())
        return false;
    ++m_pos;
    return true;
}

void BagJsonReader::skipSpace()
{
    while (!atEnd()) {
        const QChar c = m_text.at(m_pos);
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return;
        ++m_pos;
    }
}

bool BagJsonReader::fail()
{
    if (m_problem.isEmpty())
        m_problem = LoadResString(TextReasonSyntax).arg(m_pos + 1);
    return false;
}

bool BagJsonReader::failNotBag()
{
    if (m_problem.isEmpty())
        m_problem = LoadResString(TextReasonNotBag);
    return false;
}
