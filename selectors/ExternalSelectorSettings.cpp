#include "selectors/ExternalSelectorSettings.h"

#include <QRegularExpression>

namespace {
constexpr int FixedLines = 8;
}

QString ExternalSelectorSettings::Name() const
{
    return Complete() ? database + QLatin1Char('.') + table : QString();
}

QString ExternalSelectorSettings::ToText() const
{
    QString text;
    for (const QString* line : {&table, &database, &server, &port, &driverName, &driverLocation, &user, &password})
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
    QString* fixed[FixedLines] = {&settings.table, &settings.database, &settings.server, &settings.port,
                                  &settings.driverName, &settings.driverLocation, &settings.user, &settings.password};
    for (int i = 0; i < FixedLines && i < lines.size(); ++i)
        *fixed[i] = lines.at(i);
    settings.fields = lines.mid(FixedLines);
    return settings;
}
