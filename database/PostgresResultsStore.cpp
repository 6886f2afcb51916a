#include "database/PostgresResultsStore.h"

#include "base/ResourceStrings.h"
#include "database/SqlConnection.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QVariant>

#include <future>

namespace {
constexpr int StoreFailedId = 35004;

const char* const Schema[] = {
    ("CREATE TABLE IF NOT EXISTS kestrova_events(id bigserial PRIMARY KEY, run text NOT NULL, tree text NOT NULL,"
     " version text NOT NULL, page text NOT NULL, kind text NOT NULL, at bigint NOT NULL, vals text NOT NULL)"),
    "CREATE INDEX IF NOT EXISTS kestrova_events_tree ON kestrova_events(tree, kind)",
    "CREATE TABLE IF NOT EXISTS kestrova_meta(key text PRIMARY KEY, value bytea NOT NULL)",
};

QString where(const SqlSettings& settings)
{
    return QStringLiteral("postgresql %1/%2").arg(settings.server, settings.database);
}

// A text as a value: Qt binds a null text as NULL, and an empty one must stay text.
QVariant text(const QString& value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

// The rows of a statement, read in order once.
bool select(QSqlQuery& query, const QString& statement, const QVariantList& values, QString& error)
{
    query.setForwardOnly(true);
    return SqlConnection::run(query, statement, values, error);
}
} // namespace

PostgresResultsStore::PostgresResultsStore(SqlSettings settings) : m_settings(std::move(settings))
{
    m_thread = std::thread([this] { serve(); });
}

PostgresResultsStore::~PostgresResultsStore()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::unique_ptr<ResultsStore> PostgresResultsStore::open(const SqlSettings& settings, QString& error)
{
    std::unique_ptr<PostgresResultsStore> store(new PostgresResultsStore(settings));
    QString reason;
    const bool made = store->onConnection(
        [](SqlConnection& connection, QString& problem) {
            for (const char* statement : Schema)
                if (!connection.execute(QString::fromLatin1(statement), {}, problem))
                    return false;
            return true;
        },
        reason);
    if (!made) {
        error = LoadResString(StoreFailedId).arg(where(settings), reason);
        return nullptr;
    }
    return store;
}

void PostgresResultsStore::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            m_connection.reset(); // closed on the thread that opened it
            return;
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

bool PostgresResultsStore::onConnection(const std::function<bool(SqlConnection&, QString&)>& work, QString& error)
{
    std::promise<bool> done;
    std::future<bool> result = done.get_future();
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back([this, &work, &error, &done] {
            if (!m_connection)
                m_connection = SqlConnection::open(m_settings, error);
            bool ok = m_connection && work(*m_connection, error);
            if (!ok)
                m_connection.reset();
            done.set_value(ok);
        });
    }
    m_wake.notify_one();
    return result.get();
}

QByteArray PostgresResultsStore::secret(QString& error)
{
    QByteArray key(SecretBytes, '\0');
    QRandomGenerator::system()->generate(key.begin(), key.end());
    QString reason;
    // The first copy to ask makes the key; every other one reads it.
    const bool read = onConnection(
        [&key](SqlConnection& connection, QString& problem) {
            QSqlQuery query(connection.database());
            if (!connection.execute(QStringLiteral("INSERT INTO kestrova_meta(key, value) VALUES('secret', ?) ON CONFLICT (key) DO NOTHING"),
                                    {key}, problem)
                || !select(query, QStringLiteral("SELECT value FROM kestrova_meta WHERE key = 'secret'"), {}, problem)
                || !query.next())
                return false;
            key = query.value(0).toByteArray();
            return true;
        },
        reason);
    if (!read || key.size() < SecretBytes) {
        error = LoadResString(StoreFailedId).arg(where(m_settings), reason);
        return {};
    }
    return key;
}

bool PostgresResultsStore::record(const ResultEvent& event, QString& error)
{
    QString reason;
    const bool written = onConnection(
        [&event](SqlConnection& connection, QString& problem) {
            return connection.execute(
                QStringLiteral("INSERT INTO kestrova_events(run, tree, version, page, kind, at, vals) VALUES(?, ?, ?, ?, ?, ?, ?)"),
                {text(event.run), text(event.tree), text(event.version), text(event.page),
                 event.kind == ResultEvent::Kind::End ? QStringLiteral("end") : QStringLiteral("page"), event.at, text(event.values)},
                problem);
        },
        reason);
    if (!written)
        error = LoadResString(StoreFailedId).arg(where(m_settings), reason);
    return written;
}

bool PostgresResultsStore::report(const QString& tree, Report& report, QString& error)
{
    QString reason;
    const bool read = onConnection(
        [&tree, &report](SqlConnection& connection, QString& problem) {
            QSqlQuery pages(connection.database());
            // Pages in the order runs first reached them.
            if (!select(pages,
                        QStringLiteral("SELECT tree, page, count(DISTINCT CASE WHEN kind = 'page' THEN run END),"
                                       " count(DISTINCT CASE WHEN kind = 'end' THEN run END) FROM kestrova_events"
                                       " WHERE ? = '' OR tree = ? GROUP BY tree, page ORDER BY tree, min(id)"),
                        {text(tree), text(tree)}, problem))
                return false;
            while (pages.next())
                report.pages.append({pages.value(0).toString(), pages.value(1).toString(), pages.value(2).toLongLong(),
                                     pages.value(3).toLongLong()});
            QSqlQuery ends(connection.database());
            if (!select(ends,
                        QStringLiteral("SELECT tree, vals FROM kestrova_events WHERE kind = 'end' AND (? = '' OR tree = ?) ORDER BY id"),
                        {text(tree), text(tree)}, problem))
                return false;
            QList<std::pair<QString, QString>> ended;
            while (ends.next())
                ended.append({ends.value(0).toString(), ends.value(1).toString()});
            report.items = countItems(ended);
            return true;
        },
        reason);
    if (!read)
        error = LoadResString(StoreFailedId).arg(where(m_settings), reason);
    return read;
}
