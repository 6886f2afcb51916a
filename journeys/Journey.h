#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A saved way through a tree: the answers a run is given from its start control, and what the
// run must show for them. Controls, selectors and items are named as the runtime names them.
struct Journey {
    // How the run ends: on a done page (a Done control's or the engine's own), finished early,
    // or still open, waiting on the last page of the path for an answer the journey does not give.
    enum class End { Done, Finished, Open };

    struct Answer {
        QString control; // empty: press Back
        QString value;
        bool operator==(const Answer&) const = default;
    };
    struct Value {
        QString control;
        QString value;
        bool operator==(const Value&) const = default;
    };
    struct Item {
        QString selector;
        QString item;
        bool held = true; // false: the selector must no longer hold it
        bool operator==(const Item&) const = default;
    };

    QString name;
    QString start;                // empty: the tree's first control
    QList<Answer> answers;
    bool finishWhenOut = false;   // finish early on the page where the answers run out
    QString finishOn;             // finish on this control's page once it has its answers
    QStringList path;             // the first control of each page shown; empty for the default
                                  // done page; not checked when there is none
    QList<Value> values;          // at the end of the run
    QList<Item> items;            // at the end of the run
    std::optional<End> end;       // without one, done or finished

    bool operator==(const Journey&) const = default;
};
