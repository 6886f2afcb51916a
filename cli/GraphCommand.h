#pragma once

#include "cli/CliCommand.h"

// kestrova graph PROJECT -o FILE.dot|FILE.svg
class GraphCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
