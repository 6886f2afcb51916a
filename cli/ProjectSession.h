#pragma once

#include "base/ErrorLog.h"
#include "cli/ConsolePrompt.h"
#include "lang/StringBuffer.h"
#include "model/CmDocument.h"
#include "project/Project.h"

#include <memory>

class QTextStream;
class CanvasModel;
class CcDecisionTree;
class CmDecisionManager;
class CvProject;
class IPrompt;

// The project of one command, without windows; released at the end. The command line reads and
// writes the project file itself: it keeps no working copy.
class ProjectSession {
public:
    explicit ProjectSession(QTextStream& err);
    ~ProjectSession();
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    // Reads the project without changing or holding it. On failure the reason is on err.
    bool Inspect(const QString& path, Project::Diagram diagram = Project::Diagram::Followed);
    // Opens the project for a change, with its diagram; false with the reason on err.
    bool Open(const QString& path);
    // Saves the opened project in place (a complete copy replaces the file).
    bool Save();
    // Saves the model as the project at path, whose name the document takes. On failure the
    // reason is on err and a file already at path is left as it was; so it is when the path
    // is one of the inputs the command read.
    bool SaveAs(const QString& path, const QStringList& inputs = {});

    // The opened project's parts.
    CmDecisionManager& Decisions() const;
    CmDocument& Document() const;
    CanvasModel& Canvas() const;
    CvProject& Explorer() const;
    CcDecisionTree& Tree() const;
    Project& OpenProject() const { return *m_project; }
    IPrompt& Prompt() { return m_prompt; }

private:
    // Whether the path is a regular file; the true reason on err when it is not.
    bool readable(const QString& path);
    bool reportSave(const CmDocument::Result& saved, const QString& path);

    QTextStream& m_err;
    ConsolePrompt m_prompt;
    // This command's own error log, as the Designer keeps one per run.
    StringBuffer m_errorLog;
    ErrorLogBufferScope m_errorLogHook;
    std::unique_ptr<Project> m_project;
};
