#pragma once

#include "app/IWindowHost.h"

#include <QList>
#include <QStringList>

// Records what start-up and exit ask of the windows.
class RecordingWindowHost : public IWindowHost {
public:
    bool otherInstanceRunning = false;
    bool otherInstanceAnswers = false;
    QStringList calls;
    // What the windows hold; the layout and the placement are kept apart from the calls.
    QByteArray layout;
    WindowPlacement placement;
    QList<QByteArray> restoredLayouts;
    QList<WindowPlacement> placedWindows;

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

    QByteArray SaveWindowLayout() override { return layout; }
    void RestoreWindowLayout(const QByteArray& restored) override
    {
        restoredLayouts << restored;
        layout = restored;
    }
    WindowPlacement MainWindowPlacement() override { return placement; }
    void PlaceMainWindow(const WindowPlacement& placed) override
    {
        placedWindows << placed;
        placement = placed;
    }
};
