#pragma once

#include "cli/CliCommand.h"

// kestrova journeys export PROJECT -o FILE.txt | import PROJECT FILE.txt
class JourneysCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

private:
    int exportAll(const QStringList& args, QTextStream& err) const;
    int import(const QStringList& args, QTextStream& out, QTextStream& err) const;
};
