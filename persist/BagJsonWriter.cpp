#include "persist/BagJsonWriter.h"

#include "persist/PropertyTable.h"

#include <QLocale>

#include <cmath>

namespace {
template <class... Kinds>
struct Overloaded : Kinds... {
    using Kinds::operator()...;
};
template <class... Kinds>
Overloaded(Kinds...) -> Overloaded<Kinds...>;

constexpr char16_t HexDigits[] = u"0123456789abcdef";
} // namespace

QString BagJsonWriter::write(const PropertyTable& table)
{
    QString out;
    writeTable(table, out);
    return out;
}

void BagJsonWriter::writeTable(const PropertyTable& table, QString& out)
{
    out += QLatin1String("{\"class\":");
    out += QString::number(table.classId());
    out += QLatin1String(",\"props\":{");
    bool first = true;
    for (const PropertyTable::Entry& entry : table.entries()) {
        if (!first)
            out += u',';
        first = false;
        writeString(entry.name, out);
        out += u':';
        writeValue(entry.value, out);
    }
    out += QLatin1String("}}");
}

void BagJsonWriter::writeValue(const PropertyValue& value, QString& out)
{
    std::visit(Overloaded{
                   [&](std::monostate) { out += QLatin1String("null"); },
                   [&](bool flag) { out += flag ? QLatin1String("true") : QLatin1String("false"); },
                   [&](qint64 whole) { out += QString::number(whole); },
                   // JSON has no infinity or NaN; they are kept as empty.
                   [&](double number) {
                       out += std::isfinite(number) ? QString::number(number, 'g', QLocale::FloatingPointShortest)
                                                    : QStringLiteral("null");
                   },
                   [&](const QString& text) { writeString(text, out); },
                   [&](const PropertyValue::Nested& nested) { writeTable(*nested, out); },
               },
               value.data);
}

void BagJsonWriter::writeString(const QString& text, QString& out)
{
    out += u'"';
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.unicode() >= 0x20 && c != u'"' && c != u'\\' && !c.isSurrogate())
            continue;
        out += QStringView(text).mid(plainFrom, i - plainFrom);
        appendEscaped(c, out);
        plainFrom = i + 1;
    }
    out += QStringView(text).mid(plainFrom);
    out += u'"';
}

void BagJsonWriter::appendEscaped(QChar c, QString& out)
{
    switch (c.unicode()) {
    case u'"': out += QLatin1String("\\\""); break;
    case u'\\': out += QLatin1String("\\\\"); break;
    case u'\n': out += QLatin1String("\\n"); break;
    case u'\r': out += QLatin1String("\\r"); break;
    case u'\t': out += QLatin1String("\\t"); break;
    default:
        // Other control characters, and half surrogate pairs, which UTF-8 cannot carry.
        out += QLatin1String("\\u");
        for (const int shift : {12, 8, 4, 0})
            out += QChar(HexDigits[(c.unicode() >> shift) & 0xf]);
    }
}
