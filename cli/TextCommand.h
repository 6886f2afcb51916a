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
    // The same, where /dev/null or an empty file stands for a project that holds nothing: what
    // git gives a diff or a merge for a side that has no such file.
    static bool ReadProjectOrNothing(const QString& path, ProjectData& project, QTextStream& err);
};
