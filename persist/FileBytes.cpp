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
#include <optional>
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

#ifdef Q_OS_UNIX
// Why a file of this mode is no regular file; empty for a regular file.
QString notRegularReason(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return LoadResString(TextReasonFolder);
    if (S_ISFIFO(mode))
        return LoadResString(TextReasonPipe);
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return LoadResString(TextReasonDevice);
    if (S_ISSOCK(mode))
        return LoadResString(TextReasonSocket);
    return LoadResString(TextReasonNotRegular);
}

// Whether the open file is still the one at the path (and the path no link).
bool stillNamed(int fd, const QByteArray& path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev
        && held.st_ino == named.st_ino;
}
#endif

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
    state.notRegular = notRegularReason(info.st_mode);
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

// A size limit as people write it: whole megabytes, or else kilobytes.
QString sizeText(qint64 bytes)
{
    constexpr qint64 KB = 1024;
    return bytes % (KB * KB) == 0 ? QStringLiteral("%1 MB").arg(bytes / (KB * KB)) : QStringLiteral("%1 KB").arg(bytes / KB);
}

bool isLink(const QString& filePath)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    return ::lstat(QFile::encodeName(filePath).constData(), &info) == 0 && S_ISLNK(info.st_mode);
#else
    return QFileInfo(filePath).isSymLink();
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

qint64 FileBytes::sizeLimit(Input kind)
{
    constexpr qint64 MB = 1024 * 1024;
    switch (kind) {
    case Input::Secret:
        return 4 * 1024;
    case Input::PageTemplate:
        return MB;
    case Input::Project:
        // Read whole into memory: a sparse file claiming more is no project anyone made.
        return 1024 * MB;
    case Input::Answers:
        return 4 * MB;
    case Input::Journeys:
    case Input::RulesText:
    case Input::SelectorTable:
    case Input::Picture:
    case Input::Dictionary:
        return 64 * MB;
    case Input::WebTree:
        return 256 * MB;
    }
    return 0;
}

QString FileBytes::tooLargeReason(Input kind)
{
    return LoadResString(TextReasonTooLarge).arg(sizeText(sizeLimit(kind)));
}

StorageResult FileBytes::read(const QString& filePath, QByteArray& bytes, Input kind)
{
    bytes.clear();
    if (StorageResult checked = checkInput(filePath); !checked)
        return checked;
    const auto unreadable = [&](const QString& reason) {
        return StorageResult::failure(StorageErrorKind::Io, LoadResString(TextFileNotReadable).arg(filePath, reason));
    };
    QFile file;
#ifdef Q_OS_UNIX
    // Checked again through the open handle: what is at the path may have changed since. Opened
    // without waiting, so that a named pipe put there in between does not hold the read.
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return unreadable(qt_error_string(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const QString reason = S_ISREG(info.st_mode) ? qt_error_string(errno) : notRegularReason(info.st_mode);
        ::close(fd);
        return unreadable(reason);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(file.errorString());
    }
#else
    file.setFileName(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file.errorString());
#endif
    const qint64 limit = sizeLimit(kind);
    const auto tooLarge = [&] { return unreadable(tooLargeReason(kind)); };
    if (file.size() > limit)
        return tooLarge();
    // A file may grow while it is read, or claim no size at all: reading goes on in chunks until
    // the end, and one byte more than the limit tells. Nothing larger than needed is allocated.
    bytes = file.read(std::min(limit, file.size()) + 1);
    while (bytes.size() <= limit && file.error() == QFileDevice::NoError) {
        const QByteArray chunk = file.read(std::min(ChunkSize, limit + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        bytes.clear();
        return unreadable(file.errorString());
    }
    if (bytes.size() > limit) {
        bytes.clear();
        return tooLarge();
    }
    return StorageResult::success();
}

StorageResult FileBytes::readText(const QString& filePath, QString& text, Input kind)
{
    text.clear();
    QByteArray bytes;
    if (StorageResult readBytes = read(filePath, bytes, kind); !readBytes)
        return readBytes;
    if (const qsizetype bad = invalidUtf8(bytes); bad >= 0) {
        const qsizetype lineStart = bytes.lastIndexOf('\n', bad) + 1;
        const QString message = LoadResString(TextNotUtf8)
                                    .arg(filePath)
                                    .arg(static_cast<uchar>(bytes.at(bad)), 2, 16, QLatin1Char('0'))
                                    .arg(bytes.left(lineStart).count('\n') + 1)
                                    .arg(bad - lineStart + 1);
        return StorageResult::failure(StorageErrorKind::Corrupt, message);
    }
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    text = QString::fromUtf8(QByteArrayView(bytes).sliced(marked ? 3 : 0));
    return StorageResult::success();
}

qsizetype FileBytes::invalidUtf8(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range its second byte may take (no overlong
        // form, no surrogate, nothing above U+10FFFF).
        int length = 0;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return i;
        }
        for (int k = 1; k < length; ++k) {
            if (i + k >= size)
                return i;
            const uchar next = data[i + k];
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
                return i;
        }
        i += length;
    }
    return -1;
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

QString FileBytes::whyNotRegular(const QString& filePath)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::lstat(QFile::encodeName(filePath).constData(), &info) != 0)
        return QString();
    return S_ISLNK(info.st_mode) ? LoadResString(TextReasonLink) : notRegularReason(info.st_mode);
#else
    return stateOf(filePath).notRegular;
#endif
}

StorageResult FileBytes::checkOutput(const QString& filePath, const QStringList& inputs, Name name)
{
    // A link at a name of the program's own is replaced, so what it names is no concern.
    if (name == Name::Own && isLink(filePath))
        return StorageResult::success();
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
    if (StorageResult checked = checkOutput(filePath, options.inputs, options.name); !checked)
        return checked;
    const QString target = options.name == Name::Own ? filePath : followLinks(filePath);
    const QString part = partPath(target);
    QFile file;
    if (StorageResult held = holdPart(file, part, filePath); !held)
        return held;
    StorageResult result = writePart(file, filePath, bytes, options);
    if (result)
        result = replaceTarget(file, part, target, filePath);
    // Removed while still held, so that no writer waiting for it takes it up in between.
    if (!result && isPart(file, part))
        QFile::remove(part);
    file.close();
    return result;
}

StorageResult FileBytes::holdPart(QFile& file, const QString& partName, const QString& shownPath)
{
#ifdef Q_OS_UNIX
    const QByteArray part = QFile::encodeName(partName);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Made afresh: never a file or link already at the name.
        const int fd = ::open(part.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // Another writer may have taken it for one left behind before we held it.
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, part)) {
                if (file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle))
                    return StorageResult::success();
                ::close(fd);
                return notSaved(shownPath, file.errorString());
            }
            ::close(fd);
        } else if (errno != EEXIST) {
            return notSaved(shownPath, qt_error_string(errno));
        } else if (const std::optional<StorageResult> cleared = clearPart(part, shownPath); cleared && !*cleared) {
            return *cleared;
        } else if (cleared) {
            continue;
        }
        if (waited.elapsed() > PartWaitMs)
            return StorageResult::failure(StorageErrorKind::InUse, LoadResString(TextFileInUse).arg(shownPath));
        QThread::msleep(PartPollMs);
    }
#else
    file.setFileName(partName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return notSaved(shownPath, file.errorString());
    return StorageResult::success();
#endif
}

bool FileBytes::isPart(const QFile& file, const QString& part)
{
#ifdef Q_OS_UNIX
    return stillNamed(file.handle(), QFile::encodeName(part));
#else
    Q_UNUSED(file);
    Q_UNUSED(part);
    return true;
#endif
}

#ifdef Q_OS_UNIX
std::optional<StorageResult> FileBytes::clearPart(const QByteArray& part, const QString& shownPath)
{
    struct stat info {};
    if (::lstat(part.constData(), &info) != 0)
        return errno == ENOENT ? std::optional(StorageResult::success())
                               : std::optional(notSaved(shownPath, qt_error_string(errno)));
    // A link is removed, never followed: the file it names stays as it is.
    if (S_ISLNK(info.st_mode)) {
        if (::unlink(part.constData()) != 0 && errno != ENOENT)
            return notSaved(shownPath, qt_error_string(errno));
        return StorageResult::success();
    }
    if (!S_ISREG(info.st_mode))
        return notSaved(shownPath, LoadResString(TextReasonPartInTheWay)
                                       .arg(QFile::decodeName(part), notRegularReason(info.st_mode)));
    const int fd = ::open(part.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ELOOP ? std::optional(StorageResult::success())
                                                 : std::optional(notSaved(shownPath, qt_error_string(errno)));
    std::optional<StorageResult> cleared;
    // Held by nobody: a write killed half way left it. Held: another writer's, to wait for.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const bool removed = !stillNamed(fd, part) || ::unlink(part.constData()) == 0 || errno == ENOENT;
        cleared = removed ? StorageResult::success() : notSaved(shownPath, qt_error_string(errno));
    }
    ::close(fd);
    return cleared;
}
#endif

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

StorageResult FileBytes::replaceTarget(QFile& file, const QString& part, const QString& target, const QString& shownPath)
{
    // Only the file written is renamed, never what another put at its name since.
    if (!isPart(file, part))
        return notSaved(shownPath, LoadResString(TextReasonPartInTheWay).arg(part, LoadResString(TextReasonNotRegular)));
    // A replaced file keeps its permissions; a new one, or one replacing a link, gets those any
    // new file gets.
#ifdef Q_OS_UNIX
    if (struct stat replaced {}; ::lstat(QFile::encodeName(target).constData(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        ::fchmod(file.handle(), replaced.st_mode & 07777);
#else
    if (QFileInfo::exists(target))
        QFile::setPermissions(part, QFile::permissions(target));
#endif
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0)
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
