#pragma once

#include "cli/CliCommand.h"

// kestrova find PROJECT TEXT [--whole-word] [--match-case] [--area tree|selectors|both]
class FindCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
