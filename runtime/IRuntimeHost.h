#pragma once

#include <QString>
#include <QStringList>

// The events the engine raises, by code.
namespace RuntimeEvent {
enum Code : int {
    PageLeft = 1,            // text: the page's values, "|" between controls, in page order
    PageShown = 2,           // read the page from the page state
    Closed = 4,              // arguments: how the run ended (RunEnd as a number)
    Call = 8,                // text: the !CALL message
    Error = 64,              // text: what went wrong
    DefinitionRequest = 128, // text in: the reference; out: a stored decision record
    ValueRequest = 256,      // text in: the reference; out: its value
    StartOver = 1024,
    ActionsRun = 2048,       // arguments: the action lines that ran
};
}

// Whoever runs the engine: the player, the command line, test mode. Called on the engine's
// thread, during next(), back(), finish() and start(); the host may use the page state then.
class IRuntimeHost {
public:
    virtual ~IRuntimeHost() = default;
    virtual void HandleEvent(int code, const QStringList& arguments, QString& text) = 0;

protected:
    IRuntimeHost() = default;
    IRuntimeHost(const IRuntimeHost&) = default;
    IRuntimeHost& operator=(const IRuntimeHost&) = default;
};
