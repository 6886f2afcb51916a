#pragma once

#include "cli/CliCommand.h"

// kestrova git-setup [--global]: the .gitattributes line for projects and the configuration of
// the diff driver (a readable diff for `git diff`, the text form for `git log -p`) and of the
// merge driver, in the repository the command runs in or for the user.
class GitSetupCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

    // The line that hands projects to the drivers.
    static QString AttributesLine();
};
