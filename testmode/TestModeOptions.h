#pragma once

#include <QString>

// How a test run of the tree starts and what it shows while it runs.
struct TestModeOptions {
    // Ask for these options before every run.
    bool ShowTestModeDlg = true;
    // Stop after every page so the author can look at the values.
    bool StepThrough = false;
    bool StartFromFirst = true;
    bool StartFromSelected = false;
    // Ask the author for a value when a control is reached without one.
    bool PromptUserForValue = false;
    // The control a run starts from when neither the first nor the selected one is wanted.
    QString StartDecision;
    bool ShowDecisionValues = true;
    bool ShowCLValues = true;

    bool operator==(const TestModeOptions&) const = default;
};
