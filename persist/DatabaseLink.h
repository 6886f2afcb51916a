#pragma once

#include "base/KvError.h"
#include "persist/SqliteDatabase.h"
#include "base/StorageResult.h"

#include <memory>
#include <type_traits>

// A handle's way to the database of its document. The document owns the database; once it
// is closed every handle answers "no document is open" instead of touching freed memory.
class DatabaseLink {
public:
    DatabaseLink() = default;
    explicit DatabaseLink(std::weak_ptr<SqliteDatabase> db) : m_db(std::move(db)) {}

    bool isOpen() const { return !m_db.expired(); }

    // Runs work (returning void or a StorageResult) on the open database; an SQL failure
    // becomes a result that names the subject (a node path, a picture name ...).
    template <typename Work>
    StorageResult run(const QString& subject, Work&& work) const
    {
        const std::shared_ptr<SqliteDatabase> db = m_db.lock();
        if (!db)
            return notOpen();
        try {
            if constexpr (std::is_void_v<std::invoke_result_t<Work, SqliteDatabase&>>) {
                work(*db);
                return StorageResult::success();
            } else {
                return work(*db);
            }
        } catch (const KvError& error) {
            return failure(subject, error);
        }
    }

private:
    static StorageResult notOpen();
    static StorageResult failure(const QString& subject, const KvError& error);

    std::weak_ptr<SqliteDatabase> m_db;
};
