#pragma once

#include "cli/CommandLine.h"

#include <QStringList>
#include <QTextStream>

// One command line run in this process, with what it wrote and its exit code.
namespace CliRun {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

inline Outcome run(const QStringList& args)
{
    Outcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.code = CommandLine().run(args, out, err);
    return outcome;
}

} // namespace CliRun
