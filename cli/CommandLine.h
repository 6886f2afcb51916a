#pragma once

#include "cli/CliCommand.h"
#include "cli/CommandReference.h"

#include <memory>
#include <vector>

// Picks the subcommand named by the first argument and runs it.
class CommandLine {
public:
    CommandLine();
    ~CommandLine();

    // args excludes the program name.
    int run(const QStringList& args, QTextStream& out, QTextStream& err);
    // Printing lays out text with the desktop's fonts, which only a graphical application has.
    static bool NeedsGraphics(const QString& command);

private:
    CliCommand* find(const QString& name) const;
    void printHelp(QTextStream& out) const;
    int printReference(const QStringList& args, QTextStream& out, QTextStream& err) const;
    CommandReference reference() const;

    std::vector<std::unique_ptr<CliCommand>> m_commands;
};
