#pragma once

#include <QString>
#include <QStringList>

// What the check of one control read besides the control itself: the names it looked up, as
// written (trimmed). Another control's change matters to this control's findings only when it
// is among these, which is what lets a live check recheck only the controls a change touches.
struct ControlDependencies {
    // Every control reference: !GO targets, displayed controls, [[...]] in texts.
    QStringList controls;
    // The targets of !SET and !DEFAULT, whose interface, options and limits judge the value.
    QStringList valueTargets;
    // Every selector named by a reference or by a !KILL or !SORT.
    QStringList selectors;
    // The selectors whose header row a !KILL or !SORT was checked against.
    QStringList headerSelectors;
    QString picture;
};
