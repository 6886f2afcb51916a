#pragma once

#include "selectors/SelectorUndoRecord.h"

#include <QVariant>

#include <vector>

// One command of the undo history. What Key and Data hold depends on the kind:
//   0-3   Key: the control's number; 0 and 1 and 2 the stored record, header text or option
//         text before and after; 3 [label id, text] before and after.
//   4, 5  Key: the control's number; Data: its stored record; NewValue: its position
//         ("x,y,flag" for 5, the point list for 4).
//   6     Key: the control's number; old and new point lists.
//   7-9   Key: the picture's name; old and new bytes. A rename (9) holds the old and new
//         names instead, and in Data the numbers of the controls whose references followed.
//   10-19 Selector: the selector command as its editor recorded it.
// A group (one author command that made many changes, as Replace All) keeps its records in
// Parts, in the order they were made, and takes the kind of its first.
struct CcUndoItem {
    qint16 Kind = 0;
    QVariant Key;
    QVariant Data;
    QVariant OldValue;
    QVariant NewValue;
    SelectorUndoRecord Selector;
    std::vector<CcUndoItem> Parts;

    bool IsGroup() const { return !Parts.empty(); }

    // The record that undoes this one: old and new exchanged, a paired kind turned to its
    // inverse.
    CcUndoItem Copy() const;

    static qint16 InverseKind(qint16 kind);
    // Kinds that record even when old and new agree.
    static bool AlwaysRecorded(qint16 kind);
};
