#pragma once

#include "app/CApplication.h"
#include "app/CRegistry.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "views/DesignerWindowHost.h"

// A running Designer past the welcome window with a new project, on fresh settings; it ends
// without the exit's settings writes.
struct RunningDesigner {
    ScriptedPrompt prompt;
    DesignerWindowHost windows{prompt};

    RunningDesigner()
    {
        TestEnvironment::clearSettings();
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
        prompt.QueueNewOrOpen({NewOrOpenChoice::Kind::NewProject, QString()});
        MStartUp::Main(prompt, windows, QString());
        prompt.clearShown();
    }
    ~RunningDesigner() { gApp.reset(); }
    RunningDesigner(const RunningDesigner&) = delete;
    RunningDesigner& operator=(const RunningDesigner&) = delete;
};
