#include "vcs/TextEscape.h"

#include "journeys/JourneyText.h"

namespace {

// Every value written passes here: one pass without a branch per character.
bool needsEscape(const QString& value)
{
    const auto* data = reinterpret_cast<const char16_t*>(value.utf16());
    bool found = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = data[i];
        found |= (c == u'\\') | (c == u'\n') | (c == u'\r');
    }
    return found;
}

// A backslash reads as an escape when what follows it is one of these.
bool startsEscape(QChar next)
{
    return next == QLatin1Char('\\') || next == QLatin1Char('n') || next == QLatin1Char('r') || next == QLatin1Char('\n')
        || next == QLatin1Char('\r');
}

} // namespace

void TextEscape::append(QString& text, const QString& value)
{
    if (!needsEscape(value)) {
        text += value;
        return;
    }
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\n'))
            text += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            text += QLatin1String("\\r");
        else if (c == QLatin1Char('\\') && i + 1 < value.size() && startsEscape(value.at(i + 1)))
            text += QLatin1String("\\\\");
        else
            text += c;
    }
}

QString TextEscape::escaped(const QString& value)
{
    if (!needsEscape(value))
        return value;
    QString text;
    text.reserve(value.size() + 8);
    append(text, value);
    return text;
}

QString TextEscape::unescaped(const QString& value)
{
    return value.contains(QLatin1Char('\\')) ? JourneyText::unescaped(value) : value;
}
