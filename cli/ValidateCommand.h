#pragma once

#include "cli/CliCommand.h"

// kestrova validate PROJECT [--desktop|--web] [--strict] [--analyze] [--format=text|json]
class ValidateCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
