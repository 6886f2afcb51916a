#pragma once

#include <QList>
#include <QString>

#include <utility>

// Everything a web run is: which tree (by name and version), where it started, and each step the
// user took. Replayed on a fresh engine, it brings the run back to the page the user sees.
struct RunState {
    struct Step {
        enum class Kind { Next, Back, Finish };
        Kind kind = Kind::Next;
        // The answers given on the page left, by control name (or "_" and its id), as given.
        QList<std::pair<QString, QString>> answers;
    };

    QString tree;
    QString version;
    QString run;   // the run's id, for the results
    QString start; // the control it started at; empty for the first
    QList<Step> steps;
};
