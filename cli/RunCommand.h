#pragma once

#include "cli/CliCommand.h"

struct CompiledTree;
struct DatabaseOptions;

// kestrova run TREE [--start NAME] --answers FILE [--explain] [--database-password-env NAME]
//              [--max-rows N]
class RunCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

private:
    // A project is compiled in memory, a .kvw read as a web tree file, anything else as a desktop
    // tree file. A project's external selectors are read from their databases.
    static bool readTree(const QString& path, const DatabaseOptions& database, CompiledTree& tree, QTextStream& err);
};
