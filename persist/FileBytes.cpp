#include "persist/FileBytes.h"

#include "base/ResourceStrings.h"
#include "persist/StorageText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 ChunkSize = 256 * 1024;
// The longest name a folder entry may have, in bytes, on the file systems we write to.
constexpr qsizetype NameMax = 255;
// A part file named after its target: ".<name>.kv-part".
const QString PartSuffix = QStringLiteral(".kv-part");
// How long a write waits for another writer of the same target to finish.
constexpr qint64 PartWaitMs = 5000;
constexpr unsigned long PartPollMs = 20;

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
    const QString part = partPath(target);
    QFile file(part);
    if (StorageResult held = holdPart(file, filePath); !held)
        return held;
    StorageResult result = writePart(file, filePath, bytes, options);
    if (result)
        result = replaceTarget(file, target, filePath);
    // Removed while still held, so that no writer waiting for it takes it up in between.
    if (!result)
        QFile::remove(file.fileName());
    file.close();
    return result;
}

StorageResult FileBytes::holdPart(QFile& file, const QString& shownPath)
{
#ifdef Q_OS_UNIX
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Opened without truncating: another writer may be writing it.
        if (!file.open(QIODevice::ReadWrite))
            return notSaved(shownPath, file.errorString());
        if (::flock(file.handle(), LOCK_EX | LOCK_NB) == 0) {
            // The writer before may have renamed the file over its target while we waited:
            // what we hold must still be the part file.
            struct stat held {};
            struct stat named {};
            if (::fstat(file.handle(), &held) == 0 && ::stat(QFile::encodeName(file.fileName()).constData(), &named) == 0
                && held.st_dev == named.st_dev && held.st_ino == named.st_ino)
                return file.resize(0) ? StorageResult::success() : notSaved(shownPath, file.errorString());
        } else if (errno != EWOULDBLOCK || waited.elapsed() > PartWaitMs) {
            file.close();
            return StorageResult::failure(StorageErrorKind::InUse, LoadResString(TextFileInUse).arg(shownPath));
        }
        file.close();
        QThread::msleep(PartPollMs);
    }
#else
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return notSaved(shownPath, file.errorString());
    return StorageResult::success();
#endif
}

StorageResult FileBytes::writePart(QFile& file, const QString& shownPath, const QByteArray& bytes,
                                   const WriteOptions& options)
{
    for (qint64 done = 0; done < bytes.size();) {
        qint64 chunk = std::min(ChunkSize, bytes.size() - done);
        const bool stopHere = options.failAfterBytes >= 0 && done + chunk >= options.failAfterBytes;
        if (stopHere)
            chunk = options.failAfterBytes - done;
        if (file.write(bytes.constData() + done, chunk) != chunk)
            return notSaved(shownPath, file.errorString());
        done += chunk;
        if (stopHere)
            return notSaved(shownPath, LoadResString(TextReasonTestFailure).arg(done));
        if (options.progress)
            options.progress(static_cast<int>(done * 100 / bytes.size()));
    }
    // On disk before the rename: a power cut must not leave the target short.
    if (!file.flush())
        return notSaved(shownPath, file.errorString());
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return notSaved(shownPath, qt_error_string(errno));
#endif
    return StorageResult::success();
}

StorageResult FileBytes::replaceTarget(QFile& file, const QString& target, const QString& shownPath)
{
    // A replaced file keeps its permissions; a new one gets those any new file gets.
    if (QFileInfo::exists(target))
        file.setPermissions(QFile::permissions(target));
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return notSaved(shownPath, qt_error_string(errno));
    syncFolder(target);
    return StorageResult::success();
}

QString FileBytes::partPath(const QString& target)
{
    const QFileInfo info(target);
    const QString named = QLatin1Char('.') + info.fileName() + PartSuffix;
    if (QFile::encodeName(named).size() <= NameMax)
        return info.dir().filePath(named);
    // A name too long for one more character: a hash of it keeps the part file its own.
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(info.fileName()), QCryptographicHash::Sha1);
    return info.dir().filePath(QStringLiteral(".kv-%1").arg(QString::fromLatin1(hash.toHex().left(16))) + PartSuffix);
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
