#pragma once

#include "web/ResultEvent.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <mutex>

struct sqlite3;

// The results of the web runs in an SQLite file: one row per event, and the server's signing
// key when it was not given. Several server processes may write to one file. Every call is
// safe from any thread; a failure is returned as a message and never thrown.
class ResultsStore {
public:
    ~ResultsStore();
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // Opens or creates the file with its tables; nothing and the reason when it cannot.
    static std::unique_ptr<ResultsStore> open(const QString& path, QString& error);
    // Opens an existing file without the right to change it.
    static std::unique_ptr<ResultsStore> openForReading(const QString& path, QString& error);

    // The key kept in the store, made once when there is none; empty with error on failure.
    QByteArray secret(QString& error);
    bool record(const ResultEvent& event, QString& error);

    struct PageCount {
        QString tree;
        QString page;
        qint64 reached = 0;
        qint64 ended = 0;
    };
    struct ItemCount {
        QString tree;
        QString selector;
        QString item;
        qint64 runs = 0;
    };
    struct Report {
        QList<PageCount> pages;
        QList<ItemCount> items;
    };
    // Per page how many runs reached it and ended there, and the items left at the ends; one
    // tree, or every tree when empty.
    bool report(const QString& tree, Report& report, QString& error);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    ResultsStore(sqlite3* db, const QString& path);
    static std::unique_ptr<ResultsStore> openWith(const QString& path, int flags, bool create, QString& error);

    std::unique_ptr<sqlite3, Closer> m_db;
    QString m_path;
    std::mutex m_mutex;
};
