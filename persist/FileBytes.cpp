#include "persist/FileBytes.h"

#include "base/ResourceStrings.h"
#include "persist/StorageText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
constexpr qint64 ChunkSize = 256 * 1024;
} // namespace

StorageResult FileBytes::read(const QString& filePath, QByteArray& bytes)
{
    QFile file(filePath);
    if (!file.exists())
        return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(TextFileNotFound).arg(filePath));
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, file.errorString()));
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, file.errorString()));
    return StorageResult::success();
}

StorageResult FileBytes::write(const QString& filePath, const QByteArray& bytes)
{
    return write(filePath, bytes, WriteOptions());
}

StorageResult FileBytes::write(const QString& filePath, const QByteArray& bytes, const WriteOptions& options)
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return notSaved(filePath, file.errorString());
    for (qint64 done = 0; done < bytes.size();) {
        qint64 chunk = std::min(ChunkSize, bytes.size() - done);
        const bool stopHere = options.failAfterBytes >= 0 && done + chunk >= options.failAfterBytes;
        if (stopHere)
            chunk = options.failAfterBytes - done;
        if (file.write(bytes.constData() + done, chunk) != chunk)
            return notSaved(filePath, file.errorString());
        done += chunk;
        if (stopHere) {
            // An uncommitted QSaveFile removes its temporary file and leaves the target alone.
            file.cancelWriting();
            return notSaved(filePath, LoadResString(TextReasonTestFailure).arg(done));
        }
        if (options.progress)
            options.progress(static_cast<int>(done * 100 / bytes.size()));
    }
    if (!file.commit())
        return notSaved(filePath, file.errorString());
    syncFolder(filePath);
    return StorageResult::success();
}

StorageResult FileBytes::notSaved(const QString& filePath, const QString& reason)
{
    return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextFileNotSaved).arg(filePath, reason));
}

void FileBytes::syncFolder(const QString& filePath)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(filePath).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(filePath);
#endif
}
