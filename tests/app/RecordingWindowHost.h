#pragma once

#include "app/IWindowHost.h"

#include <QStringList>

// Records what start-up and exit ask of the windows.
class RecordingWindowHost : public IWindowHost {
public:
    bool otherInstanceRunning = false;
    bool otherInstanceAnswers = false;
    QStringList calls;

    bool IsAnotherInstanceRunning() override
    {
        calls << QStringLiteral("IsAnotherInstanceRunning");
        return otherInstanceRunning;
    }
    bool ActivateOtherInstance() override
    {
        calls << QStringLiteral("ActivateOtherInstance");
        return otherInstanceAnswers;
    }
    void ShowSplash(const QString& text) override { calls << QStringLiteral("ShowSplash:") + text; }
    void CloseSplash() override { calls << QStringLiteral("CloseSplash"); }
    void ShowMainWindow() override { calls << QStringLiteral("ShowMainWindow"); }
    void CloseAllWindows() override { calls << QStringLiteral("CloseAllWindows"); }
};
