#include "database/ExternalTables.h"

#include "base/ResourceStrings.h"
#include "database/SqlConnection.h"
#include "selectors/SelectorStore.h"

namespace {
constexpr int SelectorFailedId = 37020;
constexpr int BadNameId = 37007;
constexpr int NoFieldsId = 37012;
constexpr int NoTableNameId = 37021;
} // namespace

SqlSettings ExternalTables::settingsOf(const ExternalSelectorSettings& settings, const Options& options)
{
    SqlSettings sql;
    sql.driver = settings.driverName;
    sql.server = settings.server;
    sql.port = settings.port;
    sql.database = settings.database;
    sql.user = settings.user;
    sql.password = options.passwordEnv.isEmpty() ? settings.password : QStringLiteral("env:") + options.passwordEnv;
    sql.baseFolder = options.baseFolder;
    return sql;
}

QStringList ExternalTables::problemsOf(const ExternalSelectorSettings& settings, bool needFields)
{
    QStringList problems;
    if (!SqlConnection::kindOf(settings.driverName))
        problems.append(SqlConnection::unknownDriver(settings.driverName));
    if (settings.table.isEmpty())
        problems.append(LoadResString(NoTableNameId));
    else if (!SqlConnection::acceptableName(settings.table))
        problems.append(LoadResString(BadNameId).arg(settings.table));
    if (needFields && settings.fields.isEmpty())
        problems.append(LoadResString(NoFieldsId).arg(settings.table));
    for (const QString& field : settings.fields)
        if (!SqlConnection::acceptableName(field))
            problems.append(LoadResString(BadNameId).arg(field));
    return problems;
}

// The record checked, then connected; the reason, naming the selector, when either fails.
std::unique_ptr<SqlConnection> ExternalTables::connect(const ExternalSelectorSettings& settings, const Options& options,
                                                       bool needFields, QString& error)
{
    QString reason;
    if (const QStringList problems = problemsOf(settings, needFields); !problems.isEmpty()) {
        error = LoadResString(SelectorFailedId).arg(settings.Name(), problems.join(QLatin1Char(' ')));
        return nullptr;
    }
    std::unique_ptr<SqlConnection> connection = SqlConnection::open(settingsOf(settings, options), reason);
    if (!connection)
        error = LoadResString(SelectorFailedId).arg(settings.Name(), reason);
    return connection;
}

bool ExternalTables::read(const ExternalSelectorSettings& settings, const Options& options, CompiledTree::Table& table,
                          QString& error)
{
    const std::unique_ptr<SqlConnection> connection = connect(settings, options, true, error);
    if (!connection)
        return false;
    QString reason;
    CompiledTree::Table read{settings.Name(), {}};
    if (!connection->readTable(settings.table, settings.fields, options.maxRows, read.rows, reason)) {
        error = LoadResString(SelectorFailedId).arg(settings.Name(), reason);
        return false;
    }
    table = std::move(read);
    return true;
}

bool ExternalTables::check(const ExternalSelectorSettings& settings, const Options& options, QStringList& missing,
                           QString& error, QStringList* tableColumns)
{
    const std::unique_ptr<SqlConnection> connection = connect(settings, options, false, error);
    if (!connection)
        return false;
    QString reason;
    QStringList columns;
    if (!connection->columns(settings.table, columns, reason)) {
        error = LoadResString(SelectorFailedId).arg(settings.Name(), reason);
        return false;
    }
    missing.clear();
    for (const QString& field : settings.fields)
        if (!columns.contains(field.trimmed(), Qt::CaseInsensitive))
            missing.append(field);
    if (tableColumns)
        *tableColumns = columns;
    return true;
}

bool ExternalTables::settingsIn(StorageDocument& project, QList<ExternalSelectorSettings>& settings, QString& error)
{
    const SelectorStore store(project);
    QList<ExternalSelectorSettings> found;
    for (const QString& name : store.ExternalNames()) {
        ExternalSelectorSettings one;
        if (const StorageResult read = store.ReadExternal(name, one); !read) {
            error = LoadResString(SelectorFailedId).arg(name, read.message);
            return false;
        }
        found.append(std::move(one));
    }
    settings = std::move(found);
    return true;
}

bool ExternalTables::readAll(const QList<ExternalSelectorSettings>& settings, const Options& options,
                             QList<CompiledTree::Table>& tables, QString& error)
{
    QList<CompiledTree::Table> read;
    for (const ExternalSelectorSettings& one : settings) {
        CompiledTree::Table table;
        if (!ExternalTables::read(one, options, table, error))
            return false;
        read.append(std::move(table));
    }
    tables = std::move(read);
    return true;
}
