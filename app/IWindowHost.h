#pragma once

#include "app/WindowPlacement.h"

#include <QByteArray>
#include <QString>

// The windows of the program as start-up and exit see them. The Designer implements it with
// real windows and a local socket for the single-instance check; tests record the calls.
class IWindowHost {
public:
    virtual ~IWindowHost() = default;

    virtual bool IsAnotherInstanceRunning() = 0;
    // Asks the running instance to come to the front; false when none answered.
    virtual bool ActivateOtherInstance() = 0;
    virtual void ShowSplash(const QString& text) = 0;
    virtual void CloseSplash() = 0;
    virtual void ShowMainWindow() = 0;
    // Every window of the program, the main window last.
    virtual void CloseAllWindows() = 0;

    // The arrangement of bars and docked windows, as bytes only the host understands. A front
    // end without windows has nothing to arrange: the defaults keep nothing and change nothing.
    virtual QByteArray SaveWindowLayout() { return {}; }
    // Bytes the host does not understand leave the arrangement as it is.
    virtual void RestoreWindowLayout(const QByteArray&) {}
    virtual WindowPlacement MainWindowPlacement() { return {}; }
    virtual void PlaceMainWindow(const WindowPlacement&) {}

protected:
    IWindowHost() = default;
    IWindowHost(const IWindowHost&) = default;
    IWindowHost& operator=(const IWindowHost&) = default;
};
