#include "vcs/TextEscape.h"

#include "journeys/JourneyText.h"

namespace {

bool needsEscape(const QString& value)
{
    for (const QChar c : value) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    }
    return false;
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
