#include "persist/SqliteTransaction.h"

#include "persist/SqliteDatabase.h"

#include <sqlite3.h>

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_db(db)
{
    m_db.exec("SAVEPOINT kv_change");
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_done)
        return;
    // Called while an error unwinds: nothing may throw here.
    sqlite3_exec(m_db.handle(), "ROLLBACK TO kv_change; RELEASE kv_change", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    m_db.exec("RELEASE kv_change");
    m_done = true;
}
