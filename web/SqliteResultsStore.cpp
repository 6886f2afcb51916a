#include "web/SqliteResultsStore.h"

#include "base/KvError.h"
#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"
#include "persist/SqliteStatement.h"
#include "persist/StorageText.h"

#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

namespace {
constexpr int StoreFailedId = 35004;
constexpr int BusyTimeoutMs = 10000;

const char* const Schema =
    "CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY, run TEXT NOT NULL, tree TEXT NOT NULL,"
    " version TEXT NOT NULL, page TEXT NOT NULL, kind TEXT NOT NULL, at INTEGER NOT NULL, vals TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS events_tree ON events(tree, kind);"
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value BLOB NOT NULL);";

QString failure(const QString& path, const QString& reason)
{
    return LoadResString(StoreFailedId).arg(path, reason);
}

QString reasonOf(const KvError& error)
{
    return error.description();
}

void exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : sqlite3_errstr(code));
    sqlite3_free(message);
    if (code != SQLITE_OK)
        throw KvError(code, QStringLiteral("ResultsStore"), text);
}
} // namespace

void SqliteResultsStore::Closer::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

SqliteResultsStore::SqliteResultsStore(sqlite3* db, const QString& path) : m_db(db), m_path(path) {}

SqliteResultsStore::~SqliteResultsStore() = default;

std::unique_ptr<ResultsStore> SqliteResultsStore::open(const QString& path, QString& error)
{
    // Its default place is beside a served tree, in a folder others may share: SQLite would write
    // through a link at its name or its companions' and wait on a pipe there, so only regular
    // files or nothing are taken.
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        const QString file = path + QLatin1String(suffix);
        if (const QString why = FileBytes::whyNotRegular(file); !why.isEmpty()) {
            error = failure(path, LoadResString(TextFileNotSaved).arg(file, why));
            return nullptr;
        }
    }
    return openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, true, error);
}

std::unique_ptr<ResultsStore> SqliteResultsStore::openForReading(const QString& path, QString& error)
{
    if (!QFile::exists(path)) {
        error = failure(path, LoadResString(35005));
        return nullptr;
    }
    // A pipe would hold the read for good.
    if (const StorageResult readable = FileBytes::checkInput(path); !readable) {
        error = failure(path, readable.message);
        return nullptr;
    }
    return openWith(path, SQLITE_OPEN_READONLY, false, error);
}

std::unique_ptr<ResultsStore> SqliteResultsStore::openWith(const QString& path, int flags, bool create, QString& error)
{
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
    std::unique_ptr<SqliteResultsStore> store(new SqliteResultsStore(raw, path));
    if (code != SQLITE_OK) {
        error = failure(path, QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code)));
        return nullptr;
    }
    sqlite3_busy_timeout(raw, BusyTimeoutMs);
    try {
        if (create) {
            // Several processes append at once; a lost last event on power failure is acceptable.
            exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
            exec(raw, Schema);
        } else {
            SqliteStatement check(raw, "SELECT count(*) FROM events");
            check.step();
        }
    } catch (const KvError& problem) {
        error = failure(path, reasonOf(problem));
        return nullptr;
    }
    return store;
}

QByteArray SqliteResultsStore::secret(QString& error)
{
    const std::lock_guard lock(m_mutex);
    try {
        exec(m_db.get(), "BEGIN IMMEDIATE");
        QByteArray key;
        {
            SqliteStatement read(m_db.get(), "SELECT value FROM meta WHERE key = 'secret'");
            if (read.step())
                key = read.columnBlob(0);
        }
        if (key.size() < SecretBytes) {
            key.resize(SecretBytes);
            QRandomGenerator::system()->generate(key.begin(), key.end());
            SqliteStatement write(m_db.get(), "INSERT OR REPLACE INTO meta(key, value) VALUES('secret', ?1)");
            write.bindBlob(1, key);
            write.step();
        }
        exec(m_db.get(), "COMMIT");
        return key;
    } catch (const KvError& problem) {
        sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        error = failure(m_path, reasonOf(problem));
        return {};
    }
}

bool SqliteResultsStore::record(const ResultEvent& event, QString& error)
{
    const std::lock_guard lock(m_mutex);
    try {
        SqliteStatement insert(m_db.get(),
                               "INSERT INTO events(run, tree, version, page, kind, at, vals) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        insert.bind(1, event.run);
        insert.bind(2, event.tree);
        insert.bind(3, event.version);
        insert.bind(4, event.page);
        insert.bind(5, event.kind == ResultEvent::Kind::End ? QStringLiteral("end") : QStringLiteral("page"));
        insert.bind(6, event.at);
        insert.bind(7, event.values);
        insert.step();
        return true;
    } catch (const KvError& problem) {
        error = failure(m_path, reasonOf(problem));
        return false;
    }
}

bool SqliteResultsStore::report(const QString& tree, Report& report, QString& error)
{
    const std::lock_guard lock(m_mutex);
    try {
        // Pages in the order runs first reached them.
        SqliteStatement pages(m_db.get(),
                              "SELECT tree, page, count(DISTINCT CASE WHEN kind = 'page' THEN run END),"
                              " count(DISTINCT CASE WHEN kind = 'end' THEN run END), min(id) FROM events"
                              " WHERE ?1 = '' OR tree = ?1 GROUP BY tree, page ORDER BY tree, min(id)");
        pages.bind(1, tree);
        while (pages.step())
            report.pages.append({pages.columnText(0), pages.columnText(1), pages.columnInt(2), pages.columnInt(3)});

        SqliteStatement ends(m_db.get(), "SELECT tree, vals FROM events WHERE kind = 'end' AND (?1 = '' OR tree = ?1) ORDER BY id");
        ends.bind(1, tree);
        QList<std::pair<QString, QString>> ended;
        while (ends.step())
            ended.append({ends.columnText(0), ends.columnText(1)});
        report.items = countItems(ended);
        return true;
    } catch (const KvError& problem) {
        error = failure(m_path, reasonOf(problem));
        return false;
    }
}
