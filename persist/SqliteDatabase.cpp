#include "persist/SqliteDatabase.h"

#include "base/KvError.h"
#include "persist/DocumentGuard.h"

#include <QFile>

#include <sqlite3.h>

namespace {
// A writer holding the file briefly (while committing) should not read as "in use".
constexpr int BusyTimeoutMs = 250;
} // namespace

void SqliteDatabase::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteDatabase::SqliteDatabase(sqlite3* db) : m_db(db)
{
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    DocumentGuard::apply(db);
}

SqliteDatabase::~SqliteDatabase() = default;

std::unique_ptr<SqliteDatabase> SqliteDatabase::openMemory()
{
    return open(QByteArrayLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::openReadOnly(const QString& filePath)
{
    return open(QFile::encodeName(filePath), SQLITE_OPEN_READONLY);
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const QByteArray& name, int flags)
{
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(name.constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteDatabase> db(new SqliteDatabase(raw));
    if (code != SQLITE_OK)
        db->fail(code);
    return db;
}

void SqliteDatabase::exec(const char* sql)
{
    const int code = sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        fail(code);
}

qint64 SqliteDatabase::totalChanges() const
{
    return sqlite3_total_changes64(m_db.get());
}

qint64 SqliteDatabase::pragma(const char* name)
{
    SqliteStatement query(m_db.get(), QByteArray("PRAGMA ").append(name).constData());
    return query.step() ? query.columnInt(0) : 0;
}

QByteArray SqliteDatabase::serialize() const
{
    sqlite3_int64 size = 0;
    unsigned char* data = sqlite3_serialize(m_db.get(), "main", &size, 0);
    if (!data)
        fail(SQLITE_NOMEM);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    sqlite3_free(data);
    return bytes;
}

QStringList SqliteDatabase::textColumn(const char* sql)
{
    QStringList values;
    SqliteStatement& query = statement(sql);
    while (query.step())
        values.append(query.columnText(0));
    return values;
}

SqliteStatement& SqliteDatabase::statement(const char* sql)
{
    auto& cached = m_statements[sql];
    if (!cached)
        cached = std::make_unique<SqliteStatement>(m_db.get(), sql);
    else
        cached->reset();
    return *cached;
}

void SqliteDatabase::fail(int code) const
{
    const char* message = m_db ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(code);
    throw KvError(code, QStringLiteral("SQLite"), QString::fromUtf8(message));
}

StorageErrorKind SqliteDatabase::errorKind(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StorageErrorKind::InUse;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
        return StorageErrorKind::Corrupt;
    default:
        break;
    }
    // A file shorter than its own header says is damaged, not unreadable.
    return code == SQLITE_IOERR_SHORT_READ ? StorageErrorKind::Corrupt : StorageErrorKind::Io;
}
