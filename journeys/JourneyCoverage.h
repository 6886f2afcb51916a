#pragma once

#include "runtime/IRunTrace.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

class RuntimeEngine;

// What a set of runs met of one tree: the controls left, the options whose actions ran, the !IF
// branches that ran, and for each selector the items some run kept to its end or removed.
// Give it to each run's engine as its trace and call runEnded after each run.
class JourneyCoverage final : public IRunTrace {
public:
    void controlLeft(const RuntimeControl& control) override;
    void optionTaken(const RuntimeControl& control, const QString& option) override;
    void branchTaken(const RuntimeControl& control, const QString& option, int line) override;
    // After a run: where each selector's items ended.
    void runEnded(const RuntimeEngine& engine);

    int runs() const { return m_runs; }
    // What no run met, one line each, in the tree's order (the engine holds the tree): a control
    // no run left, an option no run took, a branch that never ran in an option some run took,
    // a selector's items no run kept and those no run removed.
    QStringList gaps(const RuntimeEngine& engine) const;

private:
    struct ItemEnds {
        std::vector<bool> kept;
        std::vector<bool> removed;
    };

    static QString key(int control, const QString& option);
    void optionGaps(const RuntimeEngine& engine, QStringList& lines) const;
    void branchGaps(int control, const QString& name, const QString& option, const QStringList& actions,
                    QStringList& lines) const;
    void itemGaps(const RuntimeEngine& engine, QStringList& lines) const;

    int m_runs = 0;
    QSet<int> m_left;
    QSet<QString> m_options;                 // key(control, option)
    QHash<QString, QSet<int>> m_branches;    // key(control, option) -> action line indexes
    QHash<QString, ItemEnds> m_items;        // folded selector name
};
