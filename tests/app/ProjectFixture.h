#pragma once

#include "app/CApplication.h"
#include "app/CRegistry.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "tests/app/RecordingWindowHost.h"

#include <QTemporaryDir>

// A started application with scripted prompts, the getting-started wizard already run, and a
// folder for project files.
struct ProjectFixture {
    ScriptedPrompt prompt;
    RecordingWindowHost windows;
    QTemporaryDir folder;

    ProjectFixture()
    {
        TestEnvironment::clearSettings();
        gApp.reset();
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
        MStartUp::Main(prompt, windows, QString());
        prompt.clearShown();
    }
    ~ProjectFixture() { gApp.reset(); }
    ProjectFixture(const ProjectFixture&) = delete;
    ProjectFixture& operator=(const ProjectFixture&) = delete;

    QString path(const QString& name) const { return folder.filePath(name); }
};
