#pragma once

#include "cli/CliCommand.h"

// kestrova report RESULTS [--tree NAME] [--format=csv|json]
class ReportCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
