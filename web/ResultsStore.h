#pragma once

#include "web/ResultEvent.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// Where the results of the web runs are kept: one row per event, and the server's signing key
// when it was not given. Every call is safe from any thread (several server processes may share
// one store); a failure is returned as a message and never thrown.
class ResultsStore {
public:
    virtual ~ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // An SQLite file, opened or made with its tables; nothing and the reason when it cannot.
    static std::unique_ptr<ResultsStore> open(const QString& path, QString& error);
    // An existing SQLite file, without the right to change it.
    static std::unique_ptr<ResultsStore> openForReading(const QString& path, QString& error);

    // The key kept in the store, made once when there is none; empty with error on failure.
    virtual QByteArray secret(QString& error) = 0;
    virtual bool record(const ResultEvent& event, QString& error) = 0;

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
    virtual bool report(const QString& tree, Report& report, QString& error) = 0;

    static constexpr qsizetype SecretBytes = 32;

protected:
    ResultsStore() = default;
    // The items left at the ends of runs, counted per tree and selector, most often left first;
    // each end is its tree and the values it recorded.
    static QList<ItemCount> countItems(const QList<std::pair<QString, QString>>& ends);
};
