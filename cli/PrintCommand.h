#pragma once

#include "cli/CliCommand.h"

// kestrova print PROJECT -o FILE.pdf [--what summary,diagram,selectors,pictures] [--tiled]
class PrintCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
