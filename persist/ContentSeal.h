#pragma once

#include "base/StorageResult.h"

#include <QString>

class SqliteDatabase;

// The checksum of what a document holds, written into it at every save and checked at every
// open, so that bytes damaged on disk do not load as changed content. It covers every table
// but the seal itself, whatever tables the format has: every row in key order and every value
// with its kind. It guards against damage, not against a forger, who can write a new one.
// Files of a format older than the seal have none and open unchecked.
namespace ContentSeal {

// "crc32:" and eight hex digits; the prefix names the method, so another can follow.
QString compute(SqliteDatabase& db);
// Replaces the stored checksum with the one of the current content.
void write(SqliteDatabase& db);
// Fails with ChecksumMismatch when the stored checksum is not the one of the content, or a
// format that has a seal holds none.
StorageResult verify(SqliteDatabase& db, const QString& filePath);

} // namespace ContentSeal
