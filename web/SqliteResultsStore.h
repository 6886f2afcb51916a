#pragma once

#include "web/ResultsStore.h"

#include <memory>
#include <mutex>

struct sqlite3;

// The results in an SQLite file; several server processes on one machine may write to it.
class SqliteResultsStore final : public ResultsStore {
public:
    ~SqliteResultsStore() override;

    static std::unique_ptr<ResultsStore> open(const QString& path, QString& error);
    static std::unique_ptr<ResultsStore> openForReading(const QString& path, QString& error);

    QByteArray secret(QString& error) override;
    bool record(const ResultEvent& event, QString& error) override;
    bool report(const QString& tree, Report& report, QString& error) override;

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    SqliteResultsStore(sqlite3* db, const QString& path);
    static std::unique_ptr<ResultsStore> openWith(const QString& path, int flags, bool create, QString& error);

    std::unique_ptr<sqlite3, Closer> m_db;
    QString m_path;
    std::mutex m_mutex;
};
