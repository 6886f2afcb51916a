#pragma once

#include "database/ExternalTables.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTextStream;
class ResultsStore;
class StorageDocument;

// What the commands that read external selectors' tables take: --database-password-env NAME
// (every password from that variable), --max-rows N and, for serve, --refresh SECONDS.
struct DatabaseOptions {
    ExternalTables::Options external;
    int refreshSeconds = 60;

    // Takes the option at args[i] with its value and moves i past it: true when it was one of
    // these, nothing when it is not, false when it is one without a proper value.
    std::optional<bool> take(const QStringList& args, qsizetype& i, bool withRefresh);

    // Reads the project's external selectors and their tables; false with the reason on err.
    bool readTables(StorageDocument& project, const QString& projectPath, QList<ExternalSelectorSettings>& settings,
                    QList<CompiledTree::Table>& tables, QTextStream& err) const;

    // Whether the results are a PostgreSQL address (postgresql://... or postgres://...).
    static bool isPostgresAddress(const QString& results);
    // The results at a PostgreSQL address or in an SQLite file (made when writable); nothing
    // and the reason when they cannot be opened. The reason never holds a password.
    static std::unique_ptr<ResultsStore> openResults(const QString& results, bool writable, QString& error);
};
