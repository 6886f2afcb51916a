#include "persist/FileBytes.h"

#include "base/ResourceStrings.h"
#include "persist/StorageText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 ChunkSize = 256 * 1024;
// The longest name a folder entry may have, in bytes, on the file systems we write to.
constexpr qsizetype NameMax = 255;
// QSaveFile names its temporary file after the target with this many characters more.
constexpr qsizetype SaveFileSuffix = 7;

struct PathState {
    bool exists = false;
    // Why what is there is no regular file; empty for a regular file.
    QString notRegular;
    int error = 0;
#ifdef Q_OS_UNIX
    dev_t device = 0;
    ino_t inode = 0;
#endif
};

PathState stateOf(const QString& filePath)
{
    PathState state;
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(filePath).constData(), &info) != 0) {
        state.error = errno;
        return state;
    }
    state.exists = true;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    if (S_ISREG(info.st_mode))
        return state;
    if (S_ISDIR(info.st_mode))
        state.notRegular = LoadResString(TextReasonFolder);
    else if (S_ISFIFO(info.st_mode))
        state.notRegular = LoadResString(TextReasonPipe);
    else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        state.notRegular = LoadResString(TextReasonDevice);
    else if (S_ISSOCK(info.st_mode))
        state.notRegular = LoadResString(TextReasonSocket);
    else
        state.notRegular = LoadResString(TextReasonNotRegular);
#else
    const QFileInfo info(filePath);
    state.exists = info.exists();
    state.error = state.exists ? 0 : ENOENT;
    if (info.isDir())
        state.notRegular = LoadResString(TextReasonFolder);
    else if (state.exists && !info.isFile())
        state.notRegular = LoadResString(TextReasonNotRegular);
#endif
    return state;
}

bool sameFile(const PathState& a, const QString& other)
{
#ifdef Q_OS_UNIX
    const PathState b = stateOf(other);
    return b.exists && a.device == b.device && a.inode == b.inode;
#else
    Q_UNUSED(a);
    return false;
#endif
}

// The file a symbolic link leads to, so that the link stays and its file is replaced.
QString followLinks(const QString& filePath)
{
    QFileInfo info(filePath);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? filePath : info.filePath();
}

bool nameFitsTemporary(const QString& filePath)
{
    return QFile::encodeName(QFileInfo(filePath).fileName()).size() + SaveFileSuffix <= NameMax;
}

} // namespace

StorageResult FileBytes::read(const QString& filePath, QByteArray& bytes)
{
    if (StorageResult checked = checkInput(filePath); !checked)
        return checked;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, file.errorString()));
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, file.errorString()));
    return StorageResult::success();
}

StorageResult FileBytes::checkInput(const QString& filePath)
{
    const PathState state = stateOf(filePath);
    if (!state.exists && (state.error == ENOENT || state.error == ENOTDIR))
        return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(TextFileNotFound).arg(filePath));
    if (!state.exists)
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, qt_error_string(state.error)));
    if (!state.notRegular.isEmpty())
        return StorageResult::failure(StorageErrorKind::Io,
                                      LoadResString(TextFileNotReadable).arg(filePath, state.notRegular));
    return StorageResult::success();
}

StorageResult FileBytes::checkOutput(const QString& filePath, const QStringList& inputs)
{
    // A path that cannot be looked at is left to the write, which says why it fails.
    const PathState target = stateOf(filePath);
    if (!target.exists)
        return StorageResult::success();
    if (!target.notRegular.isEmpty())
        return notSaved(filePath, target.notRegular);
    for (const QString& input : inputs) {
        if (!input.isEmpty() && sameFile(target, input))
            return notSaved(filePath, LoadResString(TextReasonIsInput));
    }
    return StorageResult::success();
}

StorageResult FileBytes::write(const QString& filePath, const QByteArray& bytes)
{
    return write(filePath, bytes, WriteOptions());
}

StorageResult FileBytes::write(const QString& filePath, const QByteArray& bytes, const WriteOptions& options)
{
    if (StorageResult checked = checkOutput(filePath, options.inputs); !checked)
        return checked;
    const QString target = followLinks(filePath);
    if (nameFitsTemporary(target))
        return writeThrough(target, filePath, bytes, options);
    // A name too long for a temporary file named after it: the bytes go to a short name first.
    const QString temporary = shortTemporaryPath(target);
    StorageResult result = writeThrough(temporary, filePath, bytes, options);
    if (!result)
        return result;
    if (QFileInfo::exists(target))
        QFile::setPermissions(temporary, QFile::permissions(target));
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        return notSaved(filePath, qt_error_string(error));
    }
    syncFolder(target);
    return StorageResult::success();
}

StorageResult FileBytes::writeThrough(const QString& writePath, const QString& shownPath, const QByteArray& bytes,
                                      const WriteOptions& options)
{
    QSaveFile file(writePath);
    if (!file.open(QIODevice::WriteOnly))
        return notSaved(shownPath, file.errorString());
    for (qint64 done = 0; done < bytes.size();) {
        qint64 chunk = std::min(ChunkSize, bytes.size() - done);
        const bool stopHere = options.failAfterBytes >= 0 && done + chunk >= options.failAfterBytes;
        if (stopHere)
            chunk = options.failAfterBytes - done;
        if (file.write(bytes.constData() + done, chunk) != chunk)
            return notSaved(shownPath, file.errorString());
        done += chunk;
        if (stopHere) {
            // An uncommitted QSaveFile removes its temporary file and leaves the target alone.
            file.cancelWriting();
            return notSaved(shownPath, LoadResString(TextReasonTestFailure).arg(done));
        }
        if (options.progress)
            options.progress(static_cast<int>(done * 100 / bytes.size()));
    }
    // A failed flush shows here; the commit would rename a short file over the target.
    if (!file.flush() || !file.commit())
        return notSaved(shownPath, file.errorString());
    syncFolder(writePath);
    return StorageResult::success();
}

QString FileBytes::shortTemporaryPath(const QString& target)
{
    const QFileInfo info(target);
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(info.fileName()), QCryptographicHash::Sha1);
    return info.dir().filePath(QStringLiteral(".kv-%1.part").arg(QString::fromLatin1(hash.toHex().left(16))));
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
