#pragma once

#include "cli/CliCommand.h"

// kestrova test PROJECT [JOURNEYS.txt] [--junit FILE.xml] [--coverage] [--target desktop|web|both]
class TestCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
