#pragma once

#include <QString>

// The author's editing preferences.
struct EditingOptions {
    bool AutoSpellCheckProperties = false;
    bool AutoSpellCheckCL = false;
    bool AutoSpellCheckCompile = false;
    // The folder pictures were last imported from.
    QString ImagePath;
    // Guidance for a new author: a new project starts the control wizard (a fresh installation
    // turns it on), and opening a file brings the diagram editor to the front.
    bool StartDecisionBuilderOnNew = false;
    bool StartDTEditorOnOpen = true;
    // The validation of a compile also follows the paths through the tree and warns of what
    // cannot work (unreachable controls, dead ends, closed loops, overridden !GO actions,
    // conditions that never change).
    bool AnalyzePathsOnValidate = false;

    bool operator==(const EditingOptions&) const = default;
};
