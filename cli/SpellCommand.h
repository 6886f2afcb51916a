#pragma once

#include "cli/CliCommand.h"

// kestrova spell PROJECT [--language LANG] [--dictionaries FOLDER]
class SpellCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
