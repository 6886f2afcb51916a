#pragma once

#include "common/ScriptedPrompt.h"
#include "project/Project.h"

// The project for one input, as the command line makes it: no windows, no working copy, and
// every question cancelled. Released at the end, so no input sees what an earlier one left.
class FuzzApplication {
public:
    FuzzApplication();
    FuzzApplication(const FuzzApplication&) = delete;
    FuzzApplication& operator=(const FuzzApplication&) = delete;

    Project& project() { return m_project; }

private:
    ScriptedPrompt m_prompt;
    Project m_project{m_prompt};
};
