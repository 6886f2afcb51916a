#pragma once

#include <QString>

// Where long work in the core reports how far it got. The core never runs an event loop: a
// front end that wants its windows painted meanwhile does that in its own reporter.
class IProgressReporter {
public:
    virtual ~IProgressReporter() = default;
    // An empty text means the work is over.
    virtual void ReportStatus(const QString& text) = 0;
    // 0..100; negative hides the progress.
    virtual void ReportProgress(int percent) = 0;

protected:
    IProgressReporter() = default;
    IProgressReporter(const IProgressReporter&) = default;
    IProgressReporter& operator=(const IProgressReporter&) = default;
};
