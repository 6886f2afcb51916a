#pragma once

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

protected:
    IWindowHost() = default;
    IWindowHost(const IWindowHost&) = default;
    IWindowHost& operator=(const IWindowHost&) = default;
};
