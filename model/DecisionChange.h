#pragma once

#include <QVariant>

// What an editor changed in one decision, with the values before and after in the form the
// undo history keeps them.
struct DecisionChange {
    enum class What {
        // A named property: property holds its label id; the values are [label id, text].
        Property,
        // The options-and-actions block of the current interface, each value in its one-text form.
        OptsAndActs,
        // The input interface; the values are the interface codes.
        ControlType,
        // The page header, each value its stored text.
        Heading,
        // The whole decision at once, each value its stored record.
        Record,
        // A rename rewrote the decision's references to the renamed one (header, displayed
        // controls, action targets); each value its stored record. The rename itself is the
        // step of the undo history, so this is only news for the windows.
        References,
    };
    What what = What::Property;
    int property = 0;
    QVariant oldValue;
    QVariant newValue;
};
