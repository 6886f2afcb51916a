#include "PersistTestFiles.h"
#include "base/ResourceStrings.h"
#include "common/TestRegistry.h"
#include "persist/ProjectLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace PersistTestFiles;

namespace {

// What a killed program, a hostile folder or a careless user can leave at a lock's name.
enum class Left { Nothing, Empty, Garbage, DeadProcess, Unreadable, Folder, Pipe, LinkToFile, DanglingLink };

// The id of a process that has ended.
qint64 deadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

class tst_ProjectLock : public QObject {
    Q_OBJECT

private slots:
    void whatIsLeftAtTheName_data()
    {
        QTest::addColumn<Left>("left");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("reasonId");
        QTest::newRow("nothing") << Left::Nothing << true << 0;
        QTest::newRow("empty file, killed before it was filled") << Left::Empty << true << 0;
        QTest::newRow("garbage") << Left::Garbage << true << 0;
        QTest::newRow("a process that has ended") << Left::DeadProcess << true << 0;
        QTest::newRow("unreadable") << Left::Unreadable << true << 0;
        QTest::newRow("folder") << Left::Folder << false << 33200;
        QTest::newRow("named pipe") << Left::Pipe << false << 33201;
        QTest::newRow("link to a file") << Left::LinkToFile << false << 33220;
        QTest::newRow("dangling link") << Left::DanglingLink << false << 33220;
    }
    // Nothing held by a live program blocks: it is taken at once. What is not a file is refused,
    // named, and left as it was; a link is never followed.
    void whatIsLeftAtTheName()
    {
        QFETCH(Left, left);
        QFETCH(bool, taken);
        QFETCH(int, reasonId);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tmp.lock"));
        const QByteArray native = QFile::encodeName(path);
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        QVERIFY(writeAll(victim, "keep"));
        switch (left) {
        case Left::Nothing:
            break;
        case Left::Empty:
            QVERIFY(writeAll(path, QByteArray()));
            break;
        case Left::Garbage:
            QVERIFY(writeAll(path, QByteArray("\x01\x02 not a lock\n", 14)));
            break;
        case Left::DeadProcess:
            QVERIFY(writeAll(path, QByteArray::number(deadProcess()) + "\nkestrova\n"
                                       + QSysInfo::machineHostName().toUtf8() + "\n"));
            break;
        case Left::Unreadable:
            QVERIFY(writeAll(path, "12\nx\ny\n"));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            break;
        case Left::Folder:
            QVERIFY(QDir().mkdir(path));
            break;
        case Left::Pipe:
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
            break;
        case Left::LinkToFile:
            QVERIFY(QFile::link(victim, path));
            break;
        case Left::DanglingLink:
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), path));
            break;
        }
        // Asking whether it is taken neither waits on a pipe nor changes what is there.
        QCOMPARE(ProjectLock::isTaken(path), !taken);
        QCOMPARE(readAll(victim), QByteArray("keep"));
        ProjectLock lock;
        const StorageResult result = lock.acquire(path, QStringLiteral("p.kvp"));
        QCOMPARE(result.ok(), taken);
        QCOMPARE(lock.held(), taken);
        QCOMPARE(readAll(victim), QByteArray("keep"));
        if (taken) {
            // Written whole, in QLockFile's form, and gone again when released.
            QVERIFY(readAll(path).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
            lock.release();
            QVERIFY(!QFileInfo::exists(path));
            QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("victim.txt")});
            return;
        }
        QCOMPARE(result.kind, StorageErrorKind::Io);
        QVERIFY2(result.message.contains(path), qPrintable(result.message));
        QVERIFY2(result.message.contains(LoadResString(reasonId)), qPrintable(result.message));
        QVERIFY(QFileInfo(path).isSymLink() || QFileInfo::exists(path));
    }

    // Held by another: in use, whether this program or QLockFile (an older Designer) holds it.
    void aHeldLockIsInUse()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tmp.lock"));
        ProjectLock first;
        QVERIFY(first.acquire(path, QStringLiteral("p.kvp")));
        QVERIFY(ProjectLock::isTaken(path));
        ProjectLock second;
        QCOMPARE(second.acquire(path, QStringLiteral("p.kvp")).kind, StorageErrorKind::InUse);
        QLockFile asked(path);
        QVERIFY(!asked.tryLock(0));
        first.release();

        QLockFile older(path);
        QVERIFY(older.tryLock(0));
        QVERIFY(ProjectLock::isTaken(path));
        const StorageResult refused = second.acquire(path, QStringLiteral("p.kvp"));
        QCOMPARE(refused.kind, StorageErrorKind::InUse);
        QCOMPARE(refused.message, LoadResString(31102).arg(QStringLiteral("p.kvp")));
        older.unlock();
        QVERIFY(second.acquire(path, QStringLiteral("p.kvp")));
    }

    // Another program looking at the name while locks come and go never finds an empty file.
    void theLockIsNeverSeenEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tmp.lock"));
        const QByteArray native = QFile::encodeName(path);
        std::atomic<bool> done = false;
        int emptySeen = 0;
        std::thread looker([&] {
            while (!done) {
                struct stat info {};
                if (::lstat(native.constData(), &info) == 0 && info.st_size == 0)
                    ++emptySeen;
            }
        });
        int taken = 0;
        for (int round = 0; round < 300; ++round) {
            ProjectLock lock;
            taken += lock.acquire(path, QStringLiteral("p.kvp")).ok() ? 1 : 0;
        }
        done = true;
        looker.join();
        QCOMPARE(taken, 300);
        QCOMPARE(emptySeen, 0);
    }
};

KV_REGISTER_TEST(tst_ProjectLock)
#include "tst_ProjectLock.moc"
