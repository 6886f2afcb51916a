#pragma once

#include "persist/SqliteStatement.h"
#include "base/StorageResult.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;

// One SQLite connection with a cache of prepared statements, guarded as DocumentGuard says.
// Failures throw KvError carrying the SQLite result code.
class SqliteDatabase {
public:
    // A private database in memory.
    static std::unique_ptr<SqliteDatabase> openMemory();
    // A file opened without any right to write it.
    static std::unique_ptr<SqliteDatabase> openReadOnly(const QString& filePath);

    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return m_db.get(); }

    void exec(const char* sql);
    qint64 pragma(const char* name);
    // Rows inserted, changed or deleted through this connection since it opened.
    qint64 totalChanges() const;
    // The whole database as the bytes of a database file.
    QByteArray serialize() const;
    // The first column of every row of a query without parameters.
    QStringList textColumn(const char* sql);
    // The statement of this SQL, prepared once and reset for a new use.
    SqliteStatement& statement(const char* sql);
    [[noreturn]] void fail(int code) const;

    // What an SQLite result code means to a caller of the storage.
    static StorageErrorKind errorKind(int code);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    explicit SqliteDatabase(sqlite3* db);
    static std::unique_ptr<SqliteDatabase> open(const QByteArray& name, int flags);

    std::unique_ptr<sqlite3, Closer> m_db;
    // Declared after the connection so the statements are finalized before it closes.
    std::unordered_map<std::string, std::unique_ptr<SqliteStatement>> m_statements;
};
