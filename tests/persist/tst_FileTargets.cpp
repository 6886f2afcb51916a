#include "PersistTestFiles.h"
#include "base/ResourceStrings.h"
#include "common/TestRegistry.h"
#include "persist/FileBytes.h"
#include "persist/StorageDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <algorithm>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace PersistTestFiles;

namespace {

enum class Target { Folder, Pipe, Device, Socket, SameAsInput, HardLinkToInput, SymLinkToInput };

// What is at the path afterwards, to show that a refused write left it as it was.
QString kindOf(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("nothing");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("folder");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("pipe");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("device");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("socket");
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("link");
    return QStringLiteral("file ") + QString::fromUtf8(readAll(path));
}

// A socket bound at a path, closed at the end of the test.
struct BoundSocket {
    int fd = -1;
    bool bind(const QByteArray& path)
    {
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
            return false;
        std::copy(path.begin(), path.end(), address.sun_path);
        return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~BoundSocket()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

class tst_FileTargets : public QObject {
    Q_OBJECT

private slots:
    void onlyARegularFileIsReplaced_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("reasonId");
        QTest::newRow("folder") << Target::Folder << 33200;
        QTest::newRow("named pipe") << Target::Pipe << 33201;
        QTest::newRow("device") << Target::Device << 33202;
        QTest::newRow("socket") << Target::Socket << 33203;
        QTest::newRow("the input itself") << Target::SameAsInput << 33205;
        QTest::newRow("a hard link to the input") << Target::HardLinkToInput << 33205;
        QTest::newRow("a symbolic link to the input") << Target::SymLinkToInput << 33205;
    }
    void onlyARegularFileIsReplaced()
    {
        QFETCH(Target, target);
        QFETCH(int, reasonId);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("rules.txt"));
        QVERIFY(writeAll(input, "the input"));
        QString path = dir.filePath(QStringLiteral("out"));
        BoundSocket socket;
        const QByteArray encoded = QFile::encodeName(path);
        switch (target) {
        case Target::Folder: QVERIFY(QDir().mkdir(path)); break;
        case Target::Pipe: QCOMPARE(::mkfifo(encoded.constData(), 0600), 0); break;
        case Target::Device:
            // A node of the null device of our own; only a privileged user may make one.
            if (::mknod(encoded.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                QSKIP("making a device node needs privileges");
            break;
        case Target::Socket: QVERIFY(socket.bind(encoded)); break;
        case Target::SameAsInput: path = input; break;
        case Target::HardLinkToInput: QCOMPARE(::link(QFile::encodeName(input).constData(), encoded.constData()), 0); break;
        case Target::SymLinkToInput: QVERIFY(QFile::link(input, path)); break;
        }
        const QString before = kindOf(path);
        const QString inputBefore = kindOf(input);
        const QStringList entries = entriesOf(dir.path());

        FileBytes::WriteOptions options;
        options.inputs = {input};
        const StorageResult written = FileBytes::write(path, "new content", options);
        QCOMPARE(written.kind, StorageErrorKind::Io);
        QCOMPARE(written.message, LoadResString(31104).arg(path, LoadResString(reasonId)));
        QCOMPARE(kindOf(path), before);
        QCOMPARE(kindOf(input), inputBefore);
        QCOMPARE(entriesOf(dir.path()), entries);

        // A document is written through the same check.
        StorageDocument document;
        QVERIFY(document.create());
        QCOMPARE(document.saveAs(path, {input}).message, written.message);
        QCOMPARE(kindOf(path), before);
    }

    void aSymbolicLinkIsFollowedToItsFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("real.csv"));
        const QString link = dir.filePath(QStringLiteral("link.csv"));
        QVERIFY(writeAll(file, "old"));
        QVERIFY(QFile::link(file, link));
        QVERIFY(FileBytes::write(link, "new"));
        QCOMPARE(kindOf(link), QStringLiteral("link"));
        QCOMPARE(readAll(file), QByteArray("new"));
    }

    void inputsThatAreNoRegularFilesAreNamed_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<StorageErrorKind>("kind");
        QTest::addColumn<int>("reasonId");
        QTest::newRow("missing") << "missing" << StorageErrorKind::NotFound << 0;
        QTest::newRow("folder") << "folder" << StorageErrorKind::Io << 33200;
        // Read as a file, a pipe would wait for a writer that never comes.
        QTest::newRow("named pipe") << "pipe" << StorageErrorKind::Io << 33201;
    }
    void inputsThatAreNoRegularFilesAreNamed()
    {
        QFETCH(QString, what);
        QFETCH(StorageErrorKind, kind);
        QFETCH(int, reasonId);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("input.kvp"));
        if (what == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (what == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QString expected = reasonId ? LoadResString(31103).arg(path, LoadResString(reasonId))
                                          : LoadResString(31100).arg(path);
        QByteArray bytes;
        const StorageResult read = FileBytes::read(path, bytes, FileBytes::Input::Answers);
        QCOMPARE(read.kind, kind);
        QCOMPARE(read.message, expected);
        StorageDocument document;
        QCOMPARE(document.open(path).message, expected);
    }

    void devicesAndLargeInputsAreNotRead_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<FileBytes::Input>("kind");
        QTest::addColumn<bool>("read");
        QTest::newRow("endless device") << "/dev/zero" << FileBytes::Input::Answers << false;
        // A regular file of the kernel's that claims no size is read to its end all the same.
        QTest::newRow("a file that claims no size") << "/proc/self/maps" << FileBytes::Input::Answers << true;
        QTest::newRow("answers at the limit") << "limit" << FileBytes::Input::Answers << true;
        QTest::newRow("answers a byte over") << "over" << FileBytes::Input::Answers << false;
        QTest::newRow("web tree a byte over") << "over" << FileBytes::Input::WebTree << false;
        QTest::newRow("page template a byte over") << "over" << FileBytes::Input::PageTemplate << false;
        QTest::newRow("secret at the limit") << "limit" << FileBytes::Input::Secret << true;
        QTest::newRow("secret a byte over") << "over" << FileBytes::Input::Secret << false;
        QTest::newRow("empty") << "empty" << FileBytes::Input::RulesText << true;
    }
    // Every kind of input is read up to its size and no further; a device is never read.
    void devicesAndLargeInputsAreNotRead()
    {
        QFETCH(QString, what);
        QFETCH(FileBytes::Input, kind);
        QFETCH(bool, read);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("input"));
        const qint64 limit = FileBytes::sizeLimit(kind);
        QVERIFY(limit > 0);
        if (what.startsWith(QLatin1Char('/'))) {
            path = what;
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Sparse: the size costs no disk.
            QVERIFY(file.resize(what == QLatin1String("limit") ? limit : what == QLatin1String("over") ? limit + 1 : 0));
        }
        QByteArray bytes;
        const StorageResult result = FileBytes::read(path, bytes, kind);
        QCOMPARE(result.ok(), read);
        if (read) {
            if (path.startsWith(QLatin1String("/proc/")))
                QVERIFY(bytes.contains('\n'));
            else
                QCOMPARE(bytes.size(), QFileInfo(path).size());
            return;
        }
        QCOMPARE(result.kind, StorageErrorKind::Io);
        QVERIFY(bytes.isEmpty());
        const QString limitText = limit >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(limit / (1024 * 1024))
                                                       : QStringLiteral("%1 KB").arg(limit / 1024);
        const QString reason = what.startsWith(QLatin1Char('/')) ? LoadResString(33202) : LoadResString(33216).arg(limitText);
        QCOMPARE(result.message, LoadResString(31103).arg(path, reason));
    }

    void whatIsAtThePartFilesNameIsNeverWrittenThrough_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("written");
        QTest::newRow("symbolic link to another file") << "link" << true;
        QTest::newRow("symbolic link to nowhere") << "dangling" << true;
        QTest::newRow("hard link to another file") << "hard" << true;
        QTest::newRow("folder") << "folder" << false;
        QTest::newRow("named pipe") << "pipe" << false;
    }
    // The part file is made afresh: a link at its name is removed, not followed, and the file it
    // names keeps what it held; what cannot be removed stops the write, named.
    void whatIsAtThePartFilesNameIsNeverWrittenThrough()
    {
        QFETCH(QString, what);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.kvp"));
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        QVERIFY(writeAll(path, "old"));
        QVERIFY(writeAll(victim, "victim"));
        const QString part = FileBytes::partPath(path);
        const QByteArray native = QFile::encodeName(part);
        if (what == QLatin1String("link"))
            QVERIFY(QFile::link(victim, part));
        else if (what == QLatin1String("dangling"))
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("new.txt")), part));
        else if (what == QLatin1String("hard"))
            QCOMPARE(::link(QFile::encodeName(victim).constData(), native.constData()), 0);
        else if (what == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(part));
        else
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);

        const StorageResult result = FileBytes::write(path, "new");
        QCOMPARE(result.ok(), written);
        QCOMPARE(readAll(victim), QByteArray("victim"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("new.txt"))));
        QCOMPARE(kindOf(path), written ? QStringLiteral("file new") : QStringLiteral("file old"));
        if (written) {
            QCOMPARE(entriesOf(dir.path()), (QStringList{QStringLiteral("p.kvp"), QStringLiteral("victim.txt")}));
            return;
        }
        QVERIFY2(result.message.contains(part), qPrintable(result.message));
    }

    // A name as long as a folder entry may be leaves no room for a temporary file named after it.
    void theLongestNameIsWrittenAndReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(251, u'n') + QStringLiteral(".kvp"));
        StorageDocument document;
        QVERIFY(document.create());
        QVERIFY(writeNode(document, QStringLiteral("\\Notes"), QStringLiteral("first")));
        QVERIFY(document.saveAs(path));
        QVERIFY(writeNode(document, QStringLiteral("\\Notes"), QStringLiteral("second")));
        const StorageResult replaced = document.save();
        QVERIFY2(replaced, qPrintable(replaced.message));
        QCOMPARE(entriesOf(dir.path()), QStringList{QFileInfo(path).fileName()});
        StorageDocument reopened;
        QVERIFY(reopened.open(path));
        QCOMPARE(textOf(reopened, QStringLiteral("\\Notes")), QStringLiteral("second"));
    }

    // A write killed half way leaves its part file; the next write to the target takes it over,
    // whatever it holds, and leaves only the target.
    void aPartFileLeftBehindIsTakenOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("short name") << QStringLiteral("tree.kvd");
        QTest::newRow("longest name") << QString(251, u'n') + QStringLiteral(".kvd");
    }
    void aPartFileLeftBehindIsTakenOver()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QString part = FileBytes::partPath(path);
        QCOMPARE(QFileInfo(part).absolutePath(), QFileInfo(path).absolutePath());
        QVERIFY(FileBytes::write(path, "old"));
        QVERIFY(writeAll(part, QByteArray(100000, 'x')));
        QVERIFY(FileBytes::write(path, "new"));
        QCOMPARE(readAll(path), QByteArray("new"));
        QCOMPARE(entriesOf(dir.path()), QStringList{name});
    }

    // A second writer of the same target waits for the first, then writes a whole file of its own.
    void writersOfOneTargetTakeTurns()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(FileBytes::write(path, "first"));
        const QByteArray part = QFile::encodeName(FileBytes::partPath(path));
        const int held = ::open(part.constData(), O_RDWR | O_CREAT, 0600);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        QCOMPARE(::write(held, "half", 4), 4);
        // The first writer finishes: its part file, untouched by the second, becomes the target.
        QByteArray seen;
        std::thread first([&] {
            QThread::msleep(200);
            seen = readAll(QString::fromLocal8Bit(part));
            ::rename(part.constData(), QFile::encodeName(path).constData());
            ::close(held);
        });
        const StorageResult second = FileBytes::write(path, "second");
        first.join();
        QCOMPARE(seen, QByteArray("half"));
        QVERIFY2(second, qPrintable(second.message));
        QCOMPARE(readAll(path), QByteArray("second"));
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("log.txt")});
    }
};

KV_REGISTER_TEST(tst_FileTargets)
#include "tst_FileTargets.moc"
