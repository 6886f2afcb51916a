#include "persist/ProjectLock.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"
#include "persist/StorageText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Attempts to take a lock that keeps being replaced under us before saying it is in use.
constexpr int Attempts = 8;
// The most of a lock file read to judge it where the file system has no flock.
constexpr qint64 LockInfoLimit = 4096;

StorageResult inUse(const QString& project)
{
    return StorageResult::failure(StorageErrorKind::InUse, LoadResString(TextFileInUse).arg(project));
}

StorageResult folderNotWritable(const QString& project, int error)
{
    return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextLockFolderNotWritable).arg(project, qt_error_string(error)));
}

bool stillNamed(int fd, const QByteArray& path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}

bool writeWhole(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Where the file system offers no flock, the lock's words decide: one that says nothing, or names
// a process of this machine that is gone, is stale.
bool staleByContent(int fd)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return true;
    const QList<QByteArray> lines = file.read(LockInfoLimit).split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).toLongLong(&isNumber);
    if (!isNumber || pid <= 0 || lines.size() < 3)
        return true;
    if (QString::fromUtf8(lines.at(2)) != QSysInfo::machineHostName())
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

ProjectLock::~ProjectLock()
{
    release();
}

QByteArray ProjectLock::contents() const
{
    // QLockFile's form: process id, program, host, machine and boot.
    const QString program = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).fileName();
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + (program.isEmpty() ? QCoreApplication::applicationName() : program).toUtf8() + '\n'
        + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId()
        + '\n';
}

StorageResult ProjectLock::acquire(const QString& lockPath, const QString& project)
{
    release();
    const QByteArray path = QFile::encodeName(lockPath);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        StorageResult refusal;
        if (tryTake(path, project, refusal)) {
            m_path = lockPath;
            return StorageResult::success();
        }
        if (!refusal || !removeIfStale(path, project, refusal))
            return refusal;
    }
    return inUse(project);
}

void ProjectLock::release()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that no one takes it for stale in between.
    const QByteArray path = QFile::encodeName(m_path);
    if (stillNamed(m_fd, path))
        ::unlink(path.constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool ProjectLock::isTaken(const QString& lockPath)
{
    const QByteArray path = QFile::encodeName(lockPath);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return errno != ENOENT;
    if (!S_ISREG(info.st_mode))
        return true;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno != ENOENT && errno != EACCES;
    bool held = false;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        held = errno == EWOULDBLOCK ? true : !staleByContent(fd);
    ::close(fd);
    return held;
}

bool ProjectLock::tryTake(const QByteArray& path, const QString& project, StorageResult& refusal)
{
    const QByteArray bytes = contents();
    // Written whole under a name of its own, then linked into place: never seen empty.
    QByteArray temporary = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath()) + "/.kv-lock-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        refusal = folderNotWritable(project, errno);
        return false;
    }
    // Readable by others, who must be able to tell a held lock from a stale one.
    const bool written = ::fchmod(fd, 0644) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && writeWhole(fd, bytes);
    const int writeError = errno;
    const int linked = written ? ::link(temporary.constData(), path.constData()) : -1;
    const int linkError = errno;
    ::unlink(temporary.constData());
    if (!written) {
        ::close(fd);
        refusal = folderNotWritable(project, writeError);
        return false;
    }
    if (linked == 0) {
        m_fd = fd;
        return true;
    }
    ::close(fd);
    if (linkError == EEXIST)
        return false;
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != ENOSYS && linkError != EMLINK) {
        refusal = folderNotWritable(project, linkError);
        return false;
    }
    // A file system without links: made afresh and held at once; whoever takes it for a stale
    // one in between makes us try again.
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno != EEXIST)
            refusal = folderNotWritable(project, errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !stillNamed(fd, path) || !writeWhole(fd, bytes)) {
        if (stillNamed(fd, path))
            ::unlink(path.constData());
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool ProjectLock::removeIfStale(const QByteArray& path, const QString& project, StorageResult& refusal)
{
    const QString shown = QFile::decodeName(path);
    if (const QString why = FileBytes::whyNotRegular(shown); !why.isEmpty()) {
        refusal = StorageResult::failure(StorageErrorKind::Io, LoadResString(TextLockInTheWay).arg(project, shown, why));
        return false;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // Gone or replaced since: look again. Unreadable: no one can tell it held, so it is stale.
        if (errno == ENOENT || errno == ELOOP)
            return true;
        if (errno == EACCES && ::unlink(path.constData()) == 0)
            return true;
        refusal = folderNotWritable(project, errno);
        return false;
    }
    bool stale = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        stale = true;
    else if (errno != EWOULDBLOCK)
        stale = staleByContent(fd);
    bool removed = true;
    if (stale && stillNamed(fd, path))
        removed = ::unlink(path.constData()) == 0 || errno == ENOENT;
    const int removeError = errno;
    ::close(fd);
    if (!stale)
        refusal = inUse(project);
    else if (!removed)
        refusal = folderNotWritable(project, removeError);
    return stale && removed;
}
