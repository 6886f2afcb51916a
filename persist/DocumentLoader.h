#pragma once

#include "base/StorageResult.h"

#include <QString>

#include <functional>
#include <memory>

class KvError;
class SqliteDatabase;

// Copies a document file into a database in memory. Only reads the file, so that opening can
// never change it, and tells apart a missing file, a file in use, a file that is not ours (its
// schema not exactly ours included) and one whose content does not match its checksum.
class DocumentLoader {
public:
    using Progress = std::function<void(int percent)>;

    // A content that does not match its checksum is refused unless the caller accepts it, to
    // look at it read-only.
    enum class Checksum { Verify, Accept };

    static StorageResult load(const QString& filePath, std::unique_ptr<SqliteDatabase>& memory,
                              const Progress& progress, Checksum checksum = Checksum::Verify);

private:
    static StorageResult checkHeader(const QString& filePath);
    static StorageResult loadChecked(const QString& filePath, std::unique_ptr<SqliteDatabase>& memory,
                                     const Progress& progress, Checksum checksum);
    static void copy(SqliteDatabase& file, SqliteDatabase& memory, const Progress& progress);
    static StorageResult checkCopy(SqliteDatabase& memory, const QString& filePath);
    static StorageResult fromError(const QString& filePath, const KvError& error);
};
