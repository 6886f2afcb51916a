#pragma once

#include "database/SqlSettings.h"
#include "runtime/CompiledTree.h"
#include "selectors/ExternalSelectorSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class SqlConnection;
class StorageDocument;

// The tables of a tree's external selectors, read from their databases into the engine's selector
// tables: the accessible fields only, the first of them the item's name.
class ExternalTables {
public:
    static constexpr qint64 DefaultMaxRows = 1'000'000;

    struct Options {
        QString baseFolder;  // where the tree is: an SQLite file is found from here
        QString passwordEnv; // when given, every password is read from this variable
        qint64 maxRows = DefaultMaxRows;
    };

    // The connection settings of a stored record.
    static SqlSettings settingsOf(const ExternalSelectorSettings& settings, const Options& options);
    // What makes the record unusable before any connection: the driver, the names, the fields.
    // A record still without fields is fine for a check of its connection.
    static QStringList problemsOf(const ExternalSelectorSettings& settings, bool needFields = true);
    // Connects and reads one selector's table; the reason, naming the selector, when it cannot.
    static bool read(const ExternalSelectorSettings& settings, const Options& options, CompiledTree::Table& table,
                     QString& error);
    // The external selectors a project stores, in name order; the reason when one cannot be read.
    static bool settingsIn(StorageDocument& project, QList<ExternalSelectorSettings>& settings, QString& error);
    // Reads every table; the first failure stops it.
    static bool readAll(const QList<ExternalSelectorSettings>& settings, const Options& options,
                        QList<CompiledTree::Table>& tables, QString& error);
    // Connects and says which accessible fields the table lacks (a missing table is an error),
    // and, when asked, the table's columns.
    static bool check(const ExternalSelectorSettings& settings, const Options& options, QStringList& missing,
                      QString& error, QStringList* tableColumns = nullptr);

private:
    static std::unique_ptr<SqlConnection> connect(const ExternalSelectorSettings& settings, const Options& options,
                                                  bool needFields, QString& error);
};
