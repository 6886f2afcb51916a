#pragma once

#include "app/HeadlessWindowHost.h"
#include "common/ScriptedPrompt.h"

// The application object for one input, as the command line makes it: no windows, and every
// question cancelled. Released at the end, so no input sees what an earlier one left.
class FuzzApplication {
public:
    FuzzApplication();
    ~FuzzApplication();
    FuzzApplication(const FuzzApplication&) = delete;
    FuzzApplication& operator=(const FuzzApplication&) = delete;

private:
    ScriptedPrompt m_prompt;
    HeadlessWindowHost m_windows;
};
