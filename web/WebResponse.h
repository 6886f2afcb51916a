#pragma once

#include <QByteArray>
#include <QList>

#include <utility>

// What the site answers; the front end adds the headers every response carries.
struct WebResponse {
    int status = 200;
    QByteArray contentType = QByteArrayLiteral("text/html; charset=utf-8");
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;
};
