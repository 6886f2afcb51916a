#include "database/SqlSettings.h"

#include <QUrl>
#include <QUrlQuery>

bool SqlSettings::fromUrl(const QString& text, SqlSettings& settings)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return false;
    SqlSettings read;
    read.driver = QStringLiteral("postgresql");
    read.server = url.host();
    if (url.port() > 0)
        read.port = QString::number(url.port());
    read.database = url.path().mid(1);
    read.user = url.userName();
    read.password = url.password();
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        read.server = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("password")))
        read.password = query.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    if (read.database.isEmpty() || read.database.contains(QLatin1Char('/')))
        return false;
    settings = read;
    return true;
}
