#include "persist/DatabaseLink.h"

#include "base/ResourceStrings.h"
#include "persist/StorageText.h"

#include <sqlite3.h>

StorageResult DatabaseLink::notOpen()
{
    return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextNoDocument));
}

StorageResult DatabaseLink::failure(const QString& subject, const KvError& error)
{
    // Writes to a document opened for inspection fail inside SQLite; say so plainly.
    const QString reason = (error.number() & 0xff) == SQLITE_READONLY ? LoadResString(TextReasonReadOnly)
                                                                        : error.description();
    return StorageResult::failure(SqliteDatabase::errorKind(error.number()),
                                  LoadResString(TextItemFailed).arg(subject, reason));
}
