#pragma once

class SqliteDatabase;

// A savepoint that is rolled back unless committed, so a change of several rows happens
// completely or not at all.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteDatabase& m_db;
    bool m_done = false;
};
