#pragma once

#include "base/BusyState.h"
#include "base/ErrorLog.h"
#include "lang/StringBuffer.h"
#include "base/StorageResult.h"

#include <memory>
#include <vector>

class QObject;

class CController;
class CModel;
class CView;
class Project;
class IPrompt;
class IWindowHost;
class IProgressReporter;

// The Designer's application object: holds the open project, the controllers and the view,
// and keeps this run's error log. Reading and writing the project is the project's own work.
class CApplication {
public:
    CApplication(IPrompt& prompt, IWindowHost& windows);
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    void Init();
    CController& Controller() const { return *m_controller; }
    CView& View() const { return *m_view; }
    Project& OpenProject() const { return *m_project; }
    CModel& Model() const;
    IPrompt& Prompt() const { return m_prompt; }
    IWindowHost& Windows() const { return m_windows; }

    // Every long operation enters it; clicks, the timed working-copy save and the exit check it.
    BusyState& Busy();
    bool IsBusy() const;

    // Window-side helpers that live exactly as long as this object. They go first, while the
    // controllers, the view and the model they work on are all still there.
    void Attach(std::unique_ptr<QObject> part);

    StringBuffer& ErrorLogBuffer() { return m_errorLog; }
    const StringBuffer& ErrorLogBuffer() const { return m_errorLog; }

private:
    void connectDocument();

    IPrompt& m_prompt;
    IWindowHost& m_windows;
    std::unique_ptr<Project> m_project;
    std::unique_ptr<CController> m_controller;
    std::unique_ptr<CView> m_view;
    std::unique_ptr<IProgressReporter> m_progress;
    StringBuffer m_errorLog;
    ErrorLogBufferScope m_errorLogHook;
    std::vector<std::unique_ptr<QObject>> m_attached;
};

// The application object, set from start-up until the end of ExitProgram.
extern std::unique_ptr<CApplication> gApp;
