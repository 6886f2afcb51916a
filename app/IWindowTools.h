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

protected:
    IWindowTools() = default;
    IWindowTools(const IWindowTools&) = default;
    IWindowTools& operator=(const IWindowTools&) = default;
};
