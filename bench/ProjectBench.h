#pragma once

#include "compile/CcCompile.h"

#include <QString>

class IPrompt;
class Project;

#include <memory>

// Times one whole-project operation each on a project, so every mode of the benchmark measures
// an operation the same way.
namespace ProjectBench {

// "Save As" of the project to the path.
qint64 saveMs(Project& project, const QString& path);
// Replaces the project by a new one that opens the path, layout included; stops the program
// unless all the controls came back.
qint64 openMs(std::unique_ptr<Project>& project, IPrompt& prompt, const QString& path, int controls);
// Validation for both runtimes, as for a project of file type 0: every check runs.
qint64 validateMs(const Project& project);
// A compile to the path (CcCompile::CompileKvwTo or CompileKvdTo), its validation included.
qint64 compileMs(const Project& project, CcCompile::Outcome (CcCompile::*compile)(const QString&), const QString& path);

// The desktop tree file written to the path: numbering, the compiled form and its save. The
// desktop compile stops before this stage when validation finds errors, as it does on the
// generated trees, so this times the stage on its own.
qint64 desktopTreeMs(const Project& project, const QString& path);

struct TestRun {
    qint64 ms = 0;
    int pages = 0;
    // Why the run ended before the done page; empty when it reached it.
    QString stopped;
};
// A run without windows of a tree compiled for the desktop: reads and loads it, starts at the
// first control and presses Next until the run ends. The tree may hold validation errors,
// which the test command would refuse, so this stands in for its run.
TestRun testRun(const QString& compiled);

} // namespace ProjectBench
