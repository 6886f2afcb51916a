#pragma once

#include "vcs/ProjectData.h"

#include <QList>
#include <QString>
#include <QStringList>

// What changed between two versions of a project, by control and property, as `kestrova diff`
// prints it:
//
//   renamed control 12 Budget to Price
//     references updated in: Welcome, Summary
//   changed control 12 Price
//     caption
//       - What is your budget?
//       + How much may it cost?
//     options and actions
//       + ^Over 2000
//   added control 31 Laptop             (then its properties and lines, each with "+")
//   removed control 7 Old
//   changed selector laptops
//     added row: Kite Book 15,899,1.9
//     changed row Lumen Air 13
//       - Lumen Air 13,999,1.2
//       + Lumen Air 13,949,1.2
//   layout: 3 controls moved
//
// Controls are the same control when they have the same number; a rename's reference updates
// are told once, under the rename, and not as changes of the controls that hold them.
namespace ProjectDiff {

// Empty when the two are the same.
QString Describe(const ProjectData& from, const ProjectData& to);

// The same, entry by entry: each top-level line with the lines under it (one level of indent
// taken off), and the number of the control the entry is about, or -1.
struct Entry {
    QString title;
    QStringList lines;
    int control = -1;
};
QList<Entry> Entries(const ProjectData& from, const ProjectData& to);

} // namespace ProjectDiff
