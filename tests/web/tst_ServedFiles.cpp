#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "web/ResultsStore.h"
#include "web/WebTree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// What a served tree names or finds beside it: its page template and the results store made
// beside the first tree. A hostile tree or a shared folder may put a pipe, a device, a folder or a
// link there; nothing is waited on, read without end or written through a link.
namespace {

enum class State { Pipe, Folder, Device, TooLarge, NotUtf8, LinkToVictim, LinkAtWal };

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestServedFiles : public QObject {
    Q_OBJECT

private slots:
    void pageTemplates_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << State::Pipe << LoadResString(33201);
        QTest::newRow("folder") << State::Folder << LoadResString(33200);
        QTest::newRow("endless device") << State::Device << LoadResString(33202);
        QTest::newRow("larger than a template is") << State::TooLarge << LoadResString(33216).arg(QStringLiteral("1 MB"));
        QTest::newRow("no UTF-8") << State::NotUtf8 << QStringLiteral("0xff");
    }
    // The tree names its template, so it may name anything: the read is refused with its reason.
    void pageTemplates()
    {
        QFETCH(State, state);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString tree = dir.filePath(QStringLiteral("t.kvw"));
        QString named = QStringLiteral("page.html");
        const QString path = dir.filePath(named);
        switch (state) {
        case State::Pipe: QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); break;
        case State::Folder: QVERIFY(QDir().mkdir(path)); break;
        case State::Device: named = QStringLiteral("/dev/zero"); break;
        case State::TooLarge: QVERIFY(writeFile(path, QByteArray(1024 * 1024 + 1, ' '))); break;
        case State::NotUtf8: QVERIFY(writeFile(path, "<html>\xff{{page}}</html>")); break;
        default: QFAIL("not a template state");
        }
        QString html;
        const StorageResult read = WebTree::readTemplate(named, tree, html);
        QVERIFY(!read);
        QVERIFY2(read.message.contains(reason), qPrintable(read.message));
        QVERIFY(html.isEmpty());
    }

    void resultsStores_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << State::Pipe << LoadResString(33201);
        QTest::newRow("folder") << State::Folder << LoadResString(33200);
        QTest::newRow("link to another database") << State::LinkToVictim << LoadResString(33220);
        QTest::newRow("link at its write-ahead log") << State::LinkAtWal << LoadResString(33220);
    }
    // The store beside a served tree is opened only as a file of its own: what else stands at its
    // name, or at its companions' names, refuses the store and is left as it was.
    void resultsStores()
    {
        QFETCH(State, state);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results.sqlite"));
        const QString victim = dir.filePath(QStringLiteral("victim.sqlite"));
        QString error;
        {
            // Another program's database, which a link may name.
            const std::unique_ptr<ResultsStore> other = ResultsStore::open(victim, error);
            QVERIFY2(other, qPrintable(error));
        }
        const QByteArray victimBytes = readFile(victim);
        switch (state) {
        case State::Pipe: QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); break;
        case State::Folder: QVERIFY(QDir().mkdir(path)); break;
        case State::LinkToVictim: QVERIFY(QFile::link(victim, path)); break;
        case State::LinkAtWal: QVERIFY(QFile::link(victim, path + QStringLiteral("-wal"))); break;
        default: QFAIL("not a store state");
        }
        QVERIFY(!ResultsStore::open(path, error));
        QVERIFY2(error.contains(path) && error.contains(reason), qPrintable(error));
        QCOMPARE(readFile(victim), victimBytes);
        if (state == State::Pipe) {
            // A reader of the results (report) is not held by it either.
            QVERIFY(!ResultsStore::openForReading(path, error));
            QVERIFY2(error.contains(reason), qPrintable(error));
        }
    }
};

KV_REGISTER_TEST(TestServedFiles)
#include "tst_ServedFiles.moc"
