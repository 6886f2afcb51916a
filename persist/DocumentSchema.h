#pragma once

#include "base/StorageResult.h"

#include <QString>

#include <span>

class SqliteDatabase;

// The tables of a document file:
//   node(path TEXT PRIMARY KEY COLLATE NOCASE, value BLOB)  one row per node, the root is "\";
//                                                            every ancestor of a node has a row
//   picture(name TEXT PRIMARY KEY COLLATE NOCASE, data BLOB)
//   docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT)
//   seal(checksum TEXT NOT NULL)                             from format 2: see ContentSeal
//   decision(position INTEGER PRIMARY KEY, ...) STRICT       from format 3: see DecisionTable
// PRAGMA application_id marks the file as ours, PRAGMA user_version is the format version.
//
// A file is read only when its schema is exactly the one of its format version: a trigger, a
// view or any table or index of another kind could run or mislead queries while it is read.
namespace DocumentSchema {

inline constexpr int ApplicationId = 0x4b764450; // "KvDP"
inline constexpr int FormatVersion = 3;
inline constexpr int OldestFormatVersion = 1;

struct Table {
    const char* name;
    // As SQLite keeps it in the schema: the statement without its semicolon.
    const char* sql;
    // The first format version that has it.
    int since;
};

inline constexpr char SealTable[] = "seal";
inline constexpr int SealSince = 2;
inline constexpr int DecisionTableSince = 3;

// Every table of the current format, in the order they are created.
std::span<const Table> tables();
bool isOurTable(const char* name);

// Lays out an empty document in a fresh database.
void create(SqliteDatabase& db);
// Brings a document of an older format to the current one; its content stays as it is.
// True when there was anything to do.
bool upgrade(SqliteDatabase& db);
// Whether an opened file is a document this program can read; the message names the file.
StorageResult check(SqliteDatabase& db, const QString& filePath);

} // namespace DocumentSchema
