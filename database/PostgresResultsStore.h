#pragma once

#include "database/SqlSettings.h"
#include "web/ResultsStore.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class SqlConnection;

// The results in a PostgreSQL database, so that server copies on many machines write to one
// store. Qt SQL keeps a connection to the thread that opened it: every call is carried out on
// the store's own thread, one at a time, and waits for it. A broken connection is opened again
// at the next call.
class PostgresResultsStore final : public ResultsStore {
public:
    ~PostgresResultsStore() override;

    // Connects and makes the tables when they are missing; nothing and the reason when it cannot.
    static std::unique_ptr<ResultsStore> open(const SqlSettings& settings, QString& error);

    QByteArray secret(QString& error) override;
    bool record(const ResultEvent& event, QString& error) override;
    bool report(const QString& tree, Report& report, QString& error) override;

private:
    explicit PostgresResultsStore(SqlSettings settings);
    // Runs the work on the store's thread with an open connection; false with the reason when
    // there is none or the work failed (then the connection is dropped).
    bool onConnection(const std::function<bool(SqlConnection&, QString&)>& work, QString& error);
    void serve();

    SqlSettings m_settings;
    std::unique_ptr<SqlConnection> m_connection; // touched on m_thread only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};
