#include "persist/DocumentLoader.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "persist/ContentSeal.h"
#include "persist/DocumentSchema.h"
#include "persist/FileBytes.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageText.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <sqlite3.h>

namespace {
constexpr int PagesPerStep = 64;
constexpr qsizetype HeaderSize = 100;
constexpr qsizetype ApplicationIdOffset = 68;
constexpr qsizetype WriteVersionOffset = 18;
constexpr char Magic[] = "SQLite format 3";

struct BackupFinisher {
    void operator()(sqlite3_backup* backup) const { sqlite3_backup_finish(backup); }
};
using BackupHandle = std::unique_ptr<sqlite3_backup, BackupFinisher>;
} // namespace

StorageResult DocumentLoader::load(const QString& filePath, std::unique_ptr<SqliteDatabase>& memory,
                                   const Progress& progress, Checksum checksum)
{
    if (StorageResult readable = FileBytes::checkInput(filePath); !readable)
        return readable;
    // SQLite takes an empty file for an empty database; it is no document of ours.
    const qint64 size = QFileInfo(filePath).size();
    if (size == 0)
        return StorageResult::failure(StorageErrorKind::Corrupt,
                                      LoadResString(TextFileNotDocument).arg(filePath, LoadResString(TextReasonEmpty)));
    // The whole file is copied into memory: a sparse file of many gigabytes costs little to send.
    if (size > FileBytes::sizeLimit(FileBytes::Input::Project))
        return StorageResult::failure(
            StorageErrorKind::Io, LoadResString(TextFileNotReadable).arg(filePath, FileBytes::tooLargeReason(FileBytes::Input::Project)));
    if (StorageResult header = checkHeader(filePath); !header)
        return header;
    try {
        return loadChecked(filePath, memory, progress, checksum);
    } catch (const KvError& error) {
        return fromError(filePath, error);
    }
}

StorageResult DocumentLoader::checkHeader(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, file.errorString()));
    const QByteArray header = file.read(HeaderSize);
    // Anything but an SQLite file in rollback mode with our mark is refused before SQLite
    // opens it; a database in WAL mode would get companion files created beside it.
    const bool ours = header.size() == HeaderSize && header.startsWith(QByteArray(Magic, sizeof Magic))
        && header.at(WriteVersionOffset) == 1 && header.at(WriteVersionOffset + 1) == 1
        && qFromBigEndian<qint32>(header.constData() + ApplicationIdOffset) == DocumentSchema::ApplicationId;
    if (ours)
        return StorageResult::success();
    return StorageResult::failure(StorageErrorKind::Corrupt,
                                  LoadResString(TextFileNotDocument).arg(filePath, LoadResString(TextReasonForeign)));
}

StorageResult DocumentLoader::loadChecked(const QString& filePath, std::unique_ptr<SqliteDatabase>& memory,
                                          const Progress& progress, Checksum checksum)
{
    const std::unique_ptr<SqliteDatabase> file = SqliteDatabase::openReadOnly(filePath);
    // One read transaction: the checks and the copy see the same state of the file.
    file->exec("BEGIN");
    if (StorageResult checked = DocumentSchema::check(*file, filePath); !checked)
        return checked;
    std::unique_ptr<SqliteDatabase> copied = SqliteDatabase::openMemory();
    // Copying into memory needs equal page sizes.
    copied->exec(QByteArray("PRAGMA page_size = ").append(QByteArray::number(file->pragma("page_size"))).constData());
    copy(*file, *copied, progress);
    file->exec("COMMIT");
    if (StorageResult checked = checkCopy(*copied, filePath); !checked)
        return checked;
    if (checksum == Checksum::Verify) {
        if (StorageResult sealed = ContentSeal::verify(*copied, filePath); !sealed)
            return sealed;
    }
    copied->exec("INSERT OR IGNORE INTO node(path) VALUES('\\')");
    memory = std::move(copied);
    return StorageResult::success();
}

void DocumentLoader::copy(SqliteDatabase& file, SqliteDatabase& memory, const Progress& progress)
{
    const BackupHandle backup(sqlite3_backup_init(memory.handle(), "main", file.handle(), "main"));
    if (!backup)
        memory.fail(sqlite3_errcode(memory.handle()));
    for (;;) {
        const int code = sqlite3_backup_step(backup.get(), PagesPerStep);
        const int total = sqlite3_backup_pagecount(backup.get());
        if (progress && total > 0)
            progress((total - sqlite3_backup_remaining(backup.get())) * 100 / total);
        if (code == SQLITE_DONE)
            return;
        if (code != SQLITE_OK)
            file.fail(code);
    }
}

StorageResult DocumentLoader::checkCopy(SqliteDatabase& memory, const QString& filePath)
{
    // A cut-off or overwritten file can pass the header checks; the page structure tells.
    SqliteStatement check(memory.handle(), "PRAGMA quick_check(1)");
    const QString verdict = check.step() ? check.columnText(0) : QString();
    if (verdict == QLatin1String("ok"))
        return StorageResult::success();
    return StorageResult::failure(
        StorageErrorKind::Corrupt,
        LoadResString(TextFileNotDocument).arg(filePath, LoadResString(TextReasonDamaged).arg(verdict)));
}

StorageResult DocumentLoader::fromError(const QString& filePath, const KvError& error)
{
    switch (SqliteDatabase::errorKind(error.number())) {
    case StorageErrorKind::InUse:
        return StorageResult::failure(StorageErrorKind::InUse, LoadResString(TextFileInUse).arg(filePath));
    case StorageErrorKind::Corrupt:
        return StorageResult::failure(
            StorageErrorKind::Corrupt,
            LoadResString(TextFileNotDocument).arg(filePath, LoadResString(TextReasonDamaged).arg(error.description())));
    default:
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, error.description()));
    }
}
