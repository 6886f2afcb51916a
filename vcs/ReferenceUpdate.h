#pragma once

#include "vcs/ProjectData.h"

#include <QHash>
#include <QSet>

// The tree's rename rule (RenameReferences) on a project's data, for many names at once: page
// headers' [[OLD]], displayed controls (any letter case) and action lines. Names that trade
// places (A to B and B to A) are carried over in one step, never one into the other.
class ReferenceUpdate {
public:
    // OLD to NEW; a name given twice keeps its first new name.
    void add(const QString& oldName, const QString& newName);
    bool isEmpty() const { return m_names.isEmpty(); }

    // Every reference in every control's data; the numbers of the controls that changed. The
    // controls' own names stay.
    QSet<qint16> applyTo(ProjectData& project) const;
    // One control's references; whether any changed.
    bool applyTo(ControlData& control) const;
    // One line of text as a page header ("[[OLD]]" only) or an action line.
    QString header(const QString& text) const;
    QString action(const QString& line) const;

private:
    // The renames a text needs, by the names it refers to.
    QList<std::pair<QString, QString>> needed(const QString& text, bool isAction) const;
    QString renamed(const QString& text, bool isAction) const;

    QHash<QString, QString> m_names;
    // Displayed controls compare without regard to case.
    QHash<QString, QString> m_upperNames;
    QSet<qsizetype> m_lengths;
};

// Controls given new numbers (old to new), with every reference by number updated ("[[7]]",
// "!GO 7", a displayed control "7") and their places on the diagram moved along.
namespace Renumber {
void apply(ProjectData& project, const QHash<qint16, qint16>& numbers);
}
