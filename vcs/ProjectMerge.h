#pragma once

#include "vcs/ProjectData.h"

// One thing both sides changed differently: where, which property, and the two values. The
// merge keeps ours.
struct MergeConflict {
    QString place;    // "control 12 Budget", "selector laptops", "picture logo", "journey NAME", "project"
    QString property; // "caption", "options and actions", "row Kite Book 15", "layout", ...
    QString ours;
    QString theirs;

    // "place: property: ours VALUE, theirs VALUE", values escaped onto one line.
    QString text() const;
    bool operator==(const MergeConflict&) const = default;
};

struct MergeOutcome {
    ProjectData merged;
    QList<MergeConflict> conflicts;
    // Controls both sides added under one number: theirs' number and the one it was given.
    QList<std::pair<qint16, qint16>> renumbered;
};

// The three-way merge of a project by control, property, option line, selector row and
// layout entry. Controls are the same control when they have the same number. A rename on one
// side carries its reference updates into the other side's lines before anything is compared,
// so an edit on the other side follows the control and its new lines refer to the new name.
// Controls both sides added under one number are two controls unless they have the same name:
// theirs is given the next free number, with its references. Where both sides changed the same
// thing differently (a property, the same option lines, a selector cell, a control's place, a
// journey, a picture, or removed what the other changed) ours is kept and the conflict listed.
namespace ProjectMerge {

MergeOutcome Merge(const ProjectData& base, const ProjectData& ours, const ProjectData& theirs);

} // namespace ProjectMerge
