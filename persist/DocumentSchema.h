#pragma once

#include "base/StorageResult.h"

#include <QString>

class SqliteDatabase;

// The tables of a document file:
//   node(path TEXT PRIMARY KEY COLLATE NOCASE, value BLOB)  one row per node, the root is "\";
//                                                            every ancestor of a node has a row
//   picture(name TEXT PRIMARY KEY COLLATE NOCASE, data BLOB)
//   docprop(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT)
// PRAGMA application_id marks the file as ours, PRAGMA user_version is the format version.
namespace DocumentSchema {

inline constexpr int ApplicationId = 0x4b764450; // "KvDP"
inline constexpr int FormatVersion = 1;

// Lays out an empty document in a fresh database.
void create(SqliteDatabase& db);
// Whether an opened file is a document this program can read; the message names the file.
StorageResult check(SqliteDatabase& db, const QString& filePath);

} // namespace DocumentSchema
