#include "database/SqlConnection.h"

#include "base/ResourceStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

namespace {
constexpr int UnknownDriverId = 37000;
constexpr int DriverMissingId = 37001;
constexpr int NoVariableId = 37002;
constexpr int BadVariableId = 37003;
constexpr int BadPortId = 37004;
constexpr int NoFileId = 37005;
constexpr int ConnectFailedId = 37006;
constexpr int BadNameId = 37007;
constexpr int NoTableId = 37008;
constexpr int ReadFailedId = 37009;
constexpr int TooManyRowsId = 37010;
constexpr int MissingFieldsId = 37011;
constexpr int NoFieldsId = 37012;

// The server's first line: what went wrong, without the statement it quotes.
QString reasonOf(const QSqlError& error)
{
    QString text = error.databaseText().trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}

QString cellText(const QVariant& value)
{
    if (value.isNull())
        return {};
    return value.toString();
}
} // namespace

SqlConnection::SqlConnection(QSqlDatabase database, Kind kind) : m_database(std::move(database)), m_kind(kind) {}

SqlConnection::~SqlConnection()
{
    const QString name = m_database.connectionName();
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

std::optional<SqlConnection::Kind> SqlConnection::kindOf(const QString& driver)
{
    const QString name = driver.trimmed();
    for (const char* postgres : {"postgresql", "postgres", "pgsql", "QPSQL"})
        if (name.compare(QLatin1String(postgres), Qt::CaseInsensitive) == 0)
            return Kind::PostgreSql;
    for (const char* sqlite : {"sqlite", "QSQLITE"})
        if (name.compare(QLatin1String(sqlite), Qt::CaseInsensitive) == 0)
            return Kind::Sqlite;
    return std::nullopt;
}

QString SqlConnection::unknownDriver(const QString& driver)
{
    return LoadResString(UnknownDriverId).arg(driver);
}

std::optional<QString> SqlConnection::password(const QString& stored, QString& error)
{
    if (!stored.startsWith(QLatin1String("env:")))
        return stored;
    static const QRegularExpression variable(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString name = stored.mid(4);
    if (!variable.match(name).hasMatch()) {
        error = LoadResString(BadVariableId).arg(name);
        return std::nullopt;
    }
    if (!qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
        error = LoadResString(NoVariableId).arg(name);
        return std::nullopt;
    }
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

bool SqlConnection::acceptableName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('"')) && !name.contains(QLatin1Char('\0'));
}

QString SqlConnection::quoted(const QString& name)
{
    Q_ASSERT(acceptableName(name));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

std::unique_ptr<SqlConnection> SqlConnection::open(const SqlSettings& settings, QString& error)
{
    const std::optional<Kind> kind = kindOf(settings.driver);
    if (!kind) {
        error = unknownDriver(settings.driver);
        return nullptr;
    }
    const QString qtDriver = *kind == Kind::PostgreSql ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(qtDriver)) {
        error = LoadResString(DriverMissingId).arg(qtDriver);
        return nullptr;
    }
    QString where = settings.database;
    std::unique_ptr<SqlConnection> connection(
        new SqlConnection(QSqlDatabase::addDatabase(qtDriver, QUuid::createUuid().toString(QUuid::WithoutBraces)), *kind));
    QSqlDatabase& database = connection->m_database;
    if (*kind == Kind::Sqlite) {
        // SQLite would make a missing file; a selector reads an existing one.
        where = QDir(settings.baseFolder.isEmpty() ? QDir::currentPath() : settings.baseFolder).absoluteFilePath(settings.database);
        if (settings.database.trimmed().isEmpty() || !QFileInfo(where).isFile()) {
            error = LoadResString(NoFileId).arg(where);
            return nullptr;
        }
        database.setDatabaseName(where);
    } else {
        const std::optional<QString> password = SqlConnection::password(settings.password, error);
        if (!password)
            return nullptr;
        if (!settings.port.trimmed().isEmpty()) {
            bool ok = false;
            const int port = settings.port.trimmed().toInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                error = LoadResString(BadPortId).arg(settings.port);
                return nullptr;
            }
            database.setPort(port);
        }
        database.setHostName(settings.server.trimmed());
        database.setDatabaseName(settings.database);
        database.setUserName(settings.user);
        if (!password->isEmpty())
            database.setPassword(*password);
        database.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(ConnectSeconds));
        where = settings.server.trimmed().isEmpty() ? settings.database : settings.server.trimmed() + QLatin1Char('/') + settings.database;
    }
    if (!database.open()) {
        error = LoadResString(ConnectFailedId).arg(where, reasonOf(database.lastError()));
        return nullptr;
    }
    return connection;
}

bool SqlConnection::columns(const QString& table, QStringList& names, QString& error)
{
    if (!acceptableName(table)) {
        error = LoadResString(BadNameId).arg(table);
        return false;
    }
    QSqlQuery query(m_database);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(table)))) {
        error = LoadResString(NoTableId).arg(table, reasonOf(query.lastError()));
        return false;
    }
    const QSqlRecord record = query.record();
    names.clear();
    for (int i = 0; i < record.count(); ++i)
        names.append(record.fieldName(i));
    return true;
}

bool SqlConnection::readTable(const QString& table, const QStringList& fields, qint64 maxRows, CsvTable::Rows& rows,
                              QString& error)
{
    if (fields.isEmpty()) {
        error = LoadResString(NoFieldsId).arg(table);
        return false;
    }
    for (const QString& field : fields) {
        if (!acceptableName(field)) {
            error = LoadResString(BadNameId).arg(field);
            return false;
        }
    }
    QStringList present;
    if (!columns(table, present, error))
        return false;
    // Each field by the table's own spelling of it, found without regard to case.
    QStringList selected;
    QStringList missing;
    for (const QString& field : fields) {
        const auto found = std::find_if(present.cbegin(), present.cend(),
                                        [&field](const QString& column) { return column.compare(field.trimmed(), Qt::CaseInsensitive) == 0; });
        if (found == present.cend())
            missing.append(field);
        else
            selected.append(quoted(*found));
    }
    if (!missing.isEmpty()) {
        error = LoadResString(MissingFieldsId).arg(table, missing.join(QLatin1String(", ")));
        return false;
    }
    // Counted in the database first, so a table too large is refused before any row travels.
    QString reason;
    QSqlQuery count(m_database);
    if (!run(count, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 LIMIT ?) AS limited").arg(quoted(table)), {maxRows + 1}, reason)
        || !count.next()) {
        error = LoadResString(ReadFailedId).arg(table, reason);
        return false;
    }
    if (count.value(0).toLongLong() > maxRows) {
        error = LoadResString(TooManyRowsId).arg(table).arg(maxRows);
        return false;
    }
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    // Decimals as written, not as the nearest double.
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!run(query, QStringLiteral("SELECT %1 FROM %2 LIMIT ?").arg(selected.join(QLatin1String(", ")), quoted(table)), {maxRows + 1},
             reason)) {
        error = LoadResString(ReadFailedId).arg(table, reason);
        return false;
    }
    CsvTable::Rows read;
    read.append(fields);
    const int width = int(fields.size());
    while (query.next()) {
        if (read.size() > maxRows) {
            error = LoadResString(TooManyRowsId).arg(table).arg(maxRows);
            return false;
        }
        QStringList row;
        row.reserve(width);
        for (int column = 0; column < width; ++column)
            row.append(cellText(query.value(column)));
        read.append(std::move(row));
    }
    if (query.lastError().isValid()) {
        error = LoadResString(ReadFailedId).arg(table, reasonOf(query.lastError()));
        return false;
    }
    rows = std::move(read);
    return true;
}

bool SqlConnection::execute(const QString& statement, const QVariantList& values, QString& error)
{
    QSqlQuery query(m_database);
    return run(query, statement, values, error);
}

bool SqlConnection::run(QSqlQuery& query, const QString& statement, const QVariantList& values, QString& error)
{
    // PostgreSQL prepares no definitions: a statement without values runs as it is.
    const bool ran = values.isEmpty() ? query.exec(statement) : query.prepare(statement) && [&] {
        for (const QVariant& value : values)
            query.addBindValue(value);
        return query.exec();
    }();
    if (!ran)
        error = reasonOf(query.lastError());
    return ran;
}
