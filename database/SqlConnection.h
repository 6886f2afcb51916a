#pragma once

#include "database/SqlSettings.h"
#include "persist/CsvTable.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// One open connection to an outside SQL database through Qt SQL, closed when it goes. Used from
// the thread that opened it only (Qt SQL's rule). Table and field names are always quoted and
// never hold a quote or NUL; every failure comes back as a message that never holds the password.
class SqlConnection {
public:
    enum class Kind { PostgreSql, Sqlite };
    // Waiting for a server that does not answer ends after this.
    static constexpr int ConnectSeconds = 3;

    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // The kind a stored driver name stands for; nothing for a name we have no driver for.
    static std::optional<Kind> kindOf(const QString& driver);
    // The message for a driver name we have no driver for, naming those we have.
    static QString unknownDriver(const QString& driver);
    // The password to log in with: the stored one, one read from env:NAME, or empty.
    static std::optional<QString> password(const QString& stored, QString& error);
    // A table or field name that can stand quoted in a statement: not empty, no quote, no NUL.
    static bool acceptableName(const QString& name);
    static QString quoted(const QString& name);

    static std::unique_ptr<SqlConnection> open(const SqlSettings& settings, QString& error);

    Kind kind() const { return m_kind; }
    QSqlDatabase& database() { return m_database; }
    // The table's columns in their order.
    bool columns(const QString& table, QStringList& names, QString& error);
    // The fields of every row, the field names first; more than maxRows rows is refused.
    bool readTable(const QString& table, const QStringList& fields, qint64 maxRows, CsvTable::Rows& rows, QString& error);
    // Runs one statement with its values bound in order (a statement without values as it is).
    bool execute(const QString& statement, const QVariantList& values, QString& error);
    // The same on a query of this connection, whose rows are then read from it.
    static bool run(QSqlQuery& query, const QString& statement, const QVariantList& values, QString& error);

private:
    SqlConnection(QSqlDatabase database, Kind kind);

    QSqlDatabase m_database;
    Kind m_kind;
};
