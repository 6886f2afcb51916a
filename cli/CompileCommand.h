#pragma once

#include "cli/CliCommand.h"

// kestrova compile PROJECT --desktop|--web -o FILE [--image-path DIR]
class CompileCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;
};
