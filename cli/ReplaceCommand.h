#pragma once

#include "cli/CliCommand.h"

// kestrova replace PROJECT TEXT NEW [--whole-word] [--match-case] [--area tree|selectors|both]
class ReplaceCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
