#pragma once

#include "cli/CliCommand.h"

struct ProjectData;

// kestrova text PROJECT
class TextCommand : public CliCommand {
public:
    QString Name() const override;
    QString Summary() const override;
    QString Usage() const override;
    int execute(const QStringList& args, QTextStream& out, QTextStream& err) override;

    // Reads a project file, without changing it, into plain data (pictures with their bytes);
    // false with the reason on err. Each read has an application object of its own, gone when
    // it returns.
    static bool ReadProject(const QString& path, ProjectData& project, QTextStream& err);
};
