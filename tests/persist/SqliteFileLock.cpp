#include "SqliteFileLock.h"

#include <QFile>

#include <sqlite3.h>

void SqliteFileLock::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteFileLock::SqliteFileLock(const QString& filePath)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(filePath).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    m_db.reset(raw);
    m_locked = opened == SQLITE_OK && sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqliteFileLock::~SqliteFileLock()
{
    release();
}

void SqliteFileLock::release()
{
    if (m_locked)
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    m_locked = false;
}
