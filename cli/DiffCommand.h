#pragma once

#include "cli/CliCommand.h"

// kestrova diff OLD NEW, or as git's diff command: PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE
// NEW-HEX NEW-MODE (a side git has no file for is /dev/null: an empty project).
class DiffCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
