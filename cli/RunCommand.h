#pragma once

#include "cli/CliCommand.h"

struct CompiledTree;

// kestrova run TREE [--start NAME] --answers FILE [--explain]
class RunCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

private:
    // A project is compiled in memory, a .kvw read as a web tree file, anything else as a desktop
    // tree file.
    static bool readTree(const QString& path, CompiledTree& tree, QTextStream& err);
};
