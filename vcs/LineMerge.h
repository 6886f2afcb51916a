#pragma once

#include <QList>
#include <QStringList>

#include <vector>

// Lists of lines compared and merged line by line: the option and action lines of a control.
namespace LineMerge {

// For each line of from, the position in to of the line it stays as, or -1 when it goes: a
// longest common subsequence, so the matched positions rise.
std::vector<qsizetype> Match(const QStringList& from, const QStringList& to);

struct Edit {
    enum class Kind { Same, Removed, Added };
    Kind kind = Kind::Same;
    QString line;
    bool operator==(const Edit&) const = default;
};
// The lines of from and to in one sequence, each kept, removed or added.
QList<Edit> Diff(const QStringList& from, const QStringList& to);

// Where both sides changed the same lines of base differently: what each side made of them.
struct Conflict {
    QStringList base;
    QStringList ours;
    QStringList theirs;
};

struct Merged {
    QStringList lines;
    // Each kept as ours has it.
    QList<Conflict> conflicts;
};
// Changes to different lines of base both land; changes of the same lines (or insertions at
// the same place) that differ are conflicts, and ours is kept there.
Merged Merge(const QStringList& base, const QStringList& ours, const QStringList& theirs);

} // namespace LineMerge
