#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// One subcommand of the command line. Exit codes: 0 success, 1 failure, 2 usage error.
class CliCommand {
public:
    static constexpr int Success = 0;
    static constexpr int Failure = 1;
    static constexpr int UsageError = 2;

    virtual ~CliCommand() = default;

    virtual QString Name() const = 0;
    virtual QString Summary() const = 0;
    virtual QString Usage() const = 0;
    // args excludes the command name.
    virtual int execute(const QStringList& args, QTextStream& out, QTextStream& err) = 0;

protected:
    CliCommand() = default;
    CliCommand(const CliCommand&) = default;
    CliCommand& operator=(const CliCommand&) = default;

    // The command's own usage on err, exit code 2.
    int usageError(const QString& message, QTextStream& err) const;
};
