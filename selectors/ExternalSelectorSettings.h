#pragma once

#include <QString>
#include <QStringList>

#include <array>

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
    // The eight fixed lines in their stored order.
    std::array<const QString*, 8> FixedLines() const
    {
        return {&table, &database, &server, &port, &driverName, &driverLocation, &user, &password};
    }
    std::array<QString*, 8> FixedLines()
    {
        return {&table, &database, &server, &port, &driverName, &driverLocation, &user, &password};
    }
    bool Complete() const { return !table.isEmpty() && !database.isEmpty(); }

    QString ToText() const;
    static ExternalSelectorSettings FromText(const QString& text);

    bool operator==(const ExternalSelectorSettings&) const = default;
};
