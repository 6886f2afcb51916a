#pragma once

#include <QString>

#include <memory>

struct sqlite3;

// Another connection holding a file's exclusive lock, as a program writing it would.
class SqliteFileLock {
public:
    explicit SqliteFileLock(const QString& filePath);
    ~SqliteFileLock();
    SqliteFileLock(const SqliteFileLock&) = delete;
    SqliteFileLock& operator=(const SqliteFileLock&) = delete;

    bool isLocked() const { return m_locked; }
    void release();

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };

    std::unique_ptr<sqlite3, Closer> m_db;
    bool m_locked = false;
};
