#pragma once

#include "base/StorageResult.h"
#include "cli/CliCommand.h"

struct DatabaseOptions;
struct WebTree;

// kestrova serve TREE.kvw|PROJECT.kvp... [--listen ADDRESS:PORT] [--images DIR]
//                [--secret-file FILE] [--results sqlite:FILE|postgresql://...]
//                [--refresh SECONDS] [--max-rows N] [--database-password-env NAME]
class ServeCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

    // A web tree file as it is, a project compiled in memory for the web with its web settings
    // and its external selectors' tables, which the server reads again every refresh.
    static StorageResult readTree(const QString& path, const DatabaseOptions& database, WebTree& tree);

private:
    static StorageResult readProject(const QString& path, const DatabaseOptions& database, WebTree& tree);
};
