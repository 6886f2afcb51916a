#pragma once

#include "database/ExternalTables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTextStream;
class ResultsStore;
class StorageDocument;

// What the commands that read external selectors' tables take: --database-password-env NAME
// (every password from that variable), --max-rows N, --external-settings PROJECT.kvp (the
// external selectors of a web tree file, which holds none) and, for serve, --refresh SECONDS.
struct DatabaseOptions {
    ExternalTables::Options external;
    int refreshSeconds = 60;
    QString settingsProject;

    // Takes the option at args[i] with its value and moves i past it: true when it was one of
    // these, nothing when it is not, false when it is one without a proper value.
    std::optional<bool> take(const QStringList& args, qsizetype& i, bool withRefresh);

    // Reads the project's external selectors and their tables; false with the reason on err.
    bool readTables(StorageDocument& project, const QString& projectPath, QList<ExternalSelectorSettings>& settings,
                    QList<CompiledTree::Table>& tables, QTextStream& err) const;
    // The same from the project of --external-settings; nothing read when none was given.
    bool readSettingsProject(QList<ExternalSelectorSettings>& settings, QList<CompiledTree::Table>& tables,
                             QTextStream& err) const;
    // Reads the selectors' tables again, for a server's refresh.
    std::function<StorageResult(QList<CompiledTree::Table>&)> reader(const QList<ExternalSelectorSettings>& settings,
                                                                     const QString& projectPath) const;

    // Whether the results are a PostgreSQL address (postgresql://... or postgres://...).
    static bool isPostgresAddress(const QString& results);
    // The results at a PostgreSQL address or in an SQLite file (made when writable); nothing
    // and the reason when they cannot be opened. The reason never holds a password.
    static std::unique_ptr<ResultsStore> openResults(const QString& results, bool writable, QString& error);
};
