#pragma once

#include <QString>

struct RuntimeControl;

// Hears which answers a run acted on and which branches of its !IF blocks ran: what coverage
// counts. The engine calls it while a page is left; it must not steer the run.
class IRunTrace {
public:
    virtual ~IRunTrace() = default;

    // A control of the page being left, or one passed over, is about to run its actions.
    virtual void controlLeft(const RuntimeControl& control) = 0;
    // An option of the control whose actions run (for a selector list, every option).
    virtual void optionTaken(const RuntimeControl& control, const QString& option) = 0;
    // In the action lines of the option (or "_PREACTION"), the branch that ran: the index of its
    // !IF, !ELSEIF or !ELSE line, or of the !ENDIF line when no branch of a block without !ELSE ran.
    virtual void branchTaken(const RuntimeControl& control, const QString& option, int line) = 0;

protected:
    IRunTrace() = default;
    IRunTrace(const IRunTrace&) = default;
    IRunTrace& operator=(const IRunTrace&) = default;
};
