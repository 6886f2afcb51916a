#pragma once

// Commands that a window of the Designer carries out (the diagram's tools, the selector grid's).
// The windows register with the view; the tool registry asks them by tool id.
class IWindowTools {
public:
    virtual ~IWindowTools() = default;

    virtual bool Handles(int id) const = 0;
    // Whether the command has something to work on now (its window active, a selection, ...).
    virtual bool Allowed(int id) const = 0;
    virtual void Run(int id) = 0;
    // A window of these tools that holds every other command back while it runs (the control
    // wizard) is brought to the front; true when there is one.
    virtual bool BringHoldingWindowForward() { return false; }
    // Ends what these tools still run (a test, a wizard), adding nothing: the program exits.
    virtual void StopRunning() {}

protected:
    IWindowTools() = default;
    IWindowTools(const IWindowTools&) = default;
    IWindowTools& operator=(const IWindowTools&) = default;
};
