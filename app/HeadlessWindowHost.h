#pragma once

#include "app/IWindowHost.h"

// The windows of a front end that has none: the command line and the benchmark. There is no
// other instance to find, and nothing to show or close.
class HeadlessWindowHost : public IWindowHost {
public:
    bool IsAnotherInstanceRunning() override { return false; }
    bool ActivateOtherInstance() override { return false; }
    void ShowSplash(const QString&) override {}
    void CloseSplash() override {}
    void ShowMainWindow() override {}
    void CloseAllWindows() override {}
};
