#include "selectors/ExternalSelectorSettings.h"

#include <QRegularExpression>

QString ExternalSelectorSettings::Name() const
{
    return Complete() ? database + QLatin1Char('.') + table : QString();
}

QString ExternalSelectorSettings::ToText() const
{
    QString text;
    for (const QString* line : FixedLines())
        text += *line + QLatin1String("\r\n");
    for (const QString& field : fields)
        text += field + QLatin1String("\r\n");
    return text;
}

ExternalSelectorSettings ExternalSelectorSettings::FromText(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    // The last line end closes the record; it does not start a line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    ExternalSelectorSettings settings;
    const std::array<QString*, 8> fixed = settings.FixedLines();
    for (size_t i = 0; i < fixed.size() && qsizetype(i) < lines.size(); ++i)
        *fixed.at(i) = lines.at(qsizetype(i));
    settings.fields = lines.mid(qsizetype(fixed.size()));
    return settings;
}
