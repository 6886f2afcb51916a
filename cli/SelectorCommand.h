#pragma once

#include "cli/CliCommand.h"

// kestrova selector list|import|export|external PROJECT ...
class SelectorCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

private:
    int list(const QStringList& args, QTextStream& out, QTextStream& err) const;
    int import(const QStringList& args, QTextStream& out, QTextStream& err) const;
    int exportOne(const QStringList& args, QTextStream& err) const;
    int external(const QStringList& args, QTextStream& out, QTextStream& err) const;
};
