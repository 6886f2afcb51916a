#include "persist/DocumentSchema.h"

#include "base/ResourceStrings.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageText.h"

#include <QHash>
#include <QSet>

#include <array>
#include <cstring>

namespace {

constexpr std::array<DocumentSchema::Table, 5> Tables{{
    {"node", "CREATE TABLE node(path TEXT PRIMARY KEY COLLATE NOCASE, value BLOB)", 1},
    {"picture", "CREATE TABLE picture(name TEXT PRIMARY KEY COLLATE NOCASE, data BLOB)", 1},
    {"docprop", "CREATE TABLE docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT)", 1},
    {DocumentSchema::SealTable, "CREATE TABLE seal(checksum TEXT NOT NULL)", DocumentSchema::SealSince},
    {"decision",
     "CREATE TABLE decision(position INTEGER PRIMARY KEY, intIdentifier INTEGER NOT NULL, "
     "strIdentifier TEXT NOT NULL, intControl INTEGER NOT NULL, caption TEXT NOT NULL, heading TEXT NOT NULL, "
     "picture TEXT NOT NULL, optsAndActs TEXT NOT NULL, include TEXT NOT NULL, defaultValue ANY, "
     "min TEXT NOT NULL, max TEXT NOT NULL, kvdHelp INTEGER NOT NULL, kvwHelp TEXT NOT NULL, "
     "dirty INTEGER NOT NULL) STRICT",
     DocumentSchema::DecisionTableSince},
}};

// A table with a primary key that is not its row id brings the index SQLite makes for it.
bool hasKeyIndex(const DocumentSchema::Table& table)
{
    // An INTEGER PRIMARY KEY is the row id itself.
    return std::strstr(table.sql, "PRIMARY KEY") != nullptr && std::strstr(table.sql, "INTEGER PRIMARY KEY") == nullptr;
}

QString keyIndexOf(const QString& table)
{
    return QStringLiteral("sqlite_autoindex_%1_1").arg(table);
}

StorageResult notDocument(const QString& filePath, const QString& reason)
{
    return StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(TextFileNotDocument).arg(filePath, reason));
}

void setPragma(SqliteDatabase& db, const char* name, int value)
{
    db.exec(QByteArray("PRAGMA ").append(name).append(" = ").append(QByteArray::number(value)).constData());
}

void createTables(SqliteDatabase& db, int fromVersion)
{
    for (const DocumentSchema::Table& table : Tables) {
        if (table.since > fromVersion)
            db.exec(table.sql);
    }
}

// Compares the schema of a file with the one of its version: the first object that should
// not be there, or is missing or laid out otherwise, is the reason.
StorageResult compareSchema(SqliteDatabase& db, int version, const QString& filePath)
{
    QHash<QString, QString> expectedTables;
    QSet<QString> expectedIndexes;
    for (const DocumentSchema::Table& table : Tables) {
        if (table.since > version)
            continue;
        expectedTables.insert(QLatin1String(table.name), QLatin1String(table.sql));
        if (hasKeyIndex(table))
            expectedIndexes.insert(keyIndexOf(QLatin1String(table.name)));
    }
    QSet<QString> tablesFound;
    SqliteStatement rows(db.handle(), "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid");
    while (rows.step()) {
        const QString type = rows.columnText(0);
        const QString name = rows.columnText(1);
        const bool ourTable = type == QLatin1String("table") && expectedTables.contains(name);
        const bool ourIndex = type == QLatin1String("index") && expectedIndexes.contains(name)
                              && name == keyIndexOf(rows.columnText(2)) && rows.columnIsNull(3);
        if (!ourTable && !ourIndex)
            return notDocument(filePath, LoadResString(TextReasonStrangeObject).arg(name));
        if (ourTable && rows.columnText(3) != expectedTables.value(name))
            return notDocument(filePath, LoadResString(TextReasonTableLaidOut).arg(name));
        if (ourTable)
            tablesFound.insert(name);
    }
    for (const DocumentSchema::Table& table : Tables) {
        const QString name = QLatin1String(table.name);
        if (table.since <= version && !tablesFound.contains(name))
            return notDocument(filePath, LoadResString(TextReasonMissingTable).arg(name));
    }
    return StorageResult::success();
}

} // namespace

std::span<const DocumentSchema::Table> DocumentSchema::tables()
{
    return Tables;
}

bool DocumentSchema::isOurTable(const char* name)
{
    if (!name)
        return false;
    for (const Table& table : Tables) {
        if (std::strcmp(table.name, name) == 0)
            return true;
    }
    return false;
}

void DocumentSchema::create(SqliteDatabase& db)
{
    // Full auto-vacuum keeps freed pages out of the file, so a save writes no dead space.
    db.exec("PRAGMA auto_vacuum = FULL");
    setPragma(db, "application_id", ApplicationId);
    setPragma(db, "user_version", FormatVersion);
    createTables(db, 0);
    db.exec("INSERT INTO node(path) VALUES('\\')");
}

bool DocumentSchema::upgrade(SqliteDatabase& db)
{
    const qint64 version = db.pragma("user_version");
    if (version >= FormatVersion)
        return false;
    createTables(db, static_cast<int>(version));
    setPragma(db, "user_version", FormatVersion);
    return true;
}

StorageResult DocumentSchema::check(SqliteDatabase& db, const QString& filePath)
{
    if (db.pragma("application_id") != ApplicationId)
        return notDocument(filePath, LoadResString(TextReasonForeign));
    const qint64 version = db.pragma("user_version");
    if (version > FormatVersion)
        return notDocument(filePath, LoadResString(TextReasonNewer).arg(version));
    if (version < OldestFormatVersion)
        return notDocument(filePath, LoadResString(TextReasonForeign));
    return compareSchema(db, static_cast<int>(version), filePath);
}
