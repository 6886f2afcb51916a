#include "persist/DocumentSchema.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageText.h"

#include <array>

namespace {

struct TableProbe {
    const char* table;
    const char* query;
};

// Selecting every column we use fails when a table or one of its columns is missing.
constexpr std::array<TableProbe, 3> Probes{{
    {"node", "SELECT path, value FROM node LIMIT 0"},
    {"picture", "SELECT name, data FROM picture LIMIT 0"},
    {"docprop", "SELECT name, value FROM docprop LIMIT 0"},
}};

StorageResult notDocument(const QString& filePath, const QString& reason)
{
    return StorageResult::failure(StorageErrorKind::Corrupt,
                                  LoadResString(TextFileNotDocument).arg(filePath, reason));
}

} // namespace

void DocumentSchema::create(SqliteDatabase& db)
{
    // Full auto-vacuum keeps freed pages out of the file, so a save writes no dead space.
    db.exec("PRAGMA auto_vacuum = FULL");
    db.exec(QByteArray("PRAGMA application_id = ").append(QByteArray::number(ApplicationId)).constData());
    db.exec(QByteArray("PRAGMA user_version = ").append(QByteArray::number(FormatVersion)).constData());
    db.exec("CREATE TABLE node(path TEXT PRIMARY KEY COLLATE NOCASE, value BLOB);"
            "CREATE TABLE picture(name TEXT PRIMARY KEY COLLATE NOCASE, data BLOB);"
            "CREATE TABLE docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT);"
            "INSERT INTO node(path) VALUES('\\')");
}

StorageResult DocumentSchema::check(SqliteDatabase& db, const QString& filePath)
{
    if (db.pragma("application_id") != ApplicationId)
        return notDocument(filePath, LoadResString(TextReasonForeign));
    const qint64 version = db.pragma("user_version");
    if (version > FormatVersion)
        return notDocument(filePath, LoadResString(TextReasonNewer).arg(version));
    if (version < FormatVersion)
        return notDocument(filePath, LoadResString(TextReasonForeign));
    for (const TableProbe& probe : Probes) {
        try {
            SqliteStatement query(db.handle(), probe.query);
        } catch (const KvError&) {
            return notDocument(filePath, LoadResString(TextReasonMissingTable).arg(QLatin1String(probe.table)));
        }
    }
    return StorageResult::success();
}
