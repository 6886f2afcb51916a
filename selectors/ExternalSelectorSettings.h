#pragma once

#include <QString>
#include <QStringList>

// The connection settings of an external selector: eight lines (table, database, server, port,
// driver name, driver location, user, password as entered), then one line per accessible
// field, every line ended by CR LF.
struct ExternalSelectorSettings {
    QString table;
    QString database;
    QString server;
    QString port;
    QString driverName;
    QString driverLocation;
    QString user;
    QString password;
    QStringList fields;

    // database "." table; empty while either is empty.
    QString Name() const;
    bool Complete() const { return !table.isEmpty() && !database.isEmpty(); }

    QString ToText() const;
    static ExternalSelectorSettings FromText(const QString& text);

    bool operator==(const ExternalSelectorSettings&) const = default;
};
