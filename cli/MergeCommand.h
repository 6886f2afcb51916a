#pragma once

#include "cli/CliCommand.h"

// kestrova merge BASE OURS THEIRS [-o OUT] [--path NAME]: without -o the merged project
// replaces OURS, as git's merge driver expects (%O %A %B); NAME is the project's own path
// (git's %P), which the merge log is named after.
class MergeCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
