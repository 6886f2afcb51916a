#pragma once

#include "cli/CliCommand.h"

// kestrova convert PROJECT --to both|web|desktop [--apply]
class ConvertCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
