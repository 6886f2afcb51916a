#pragma once

#include "base/StorageResult.h"
#include "cli/CliCommand.h"

struct WebTree;

// kestrova serve TREE.kvw|PROJECT.kvp... [--listen ADDRESS:PORT] [--images DIR]
//                [--secret-file FILE] [--results sqlite:FILE]
class ServeCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

    // A web tree file as it is, a project compiled in memory for the web with its web settings.
    static StorageResult readTree(const QString& path, WebTree& tree);

private:
    static StorageResult readProject(const QString& path, WebTree& tree);
};
