#pragma once

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QObject>
#include <QStringList>

#include <memory>

// Holds a decision in a manager of its own and writes down every event the manager sends, one
// line each: "changed <what> <intID> <old> -> <new>", "added <name>", "removed <name>",
// "renamed <old> -> <new>". Any number of recorders may listen to one manager.
class ChangeRecorder {
public:
    explicit ChangeRecorder(CmDecisionManager& decisions);

    // A manager of its own holding the decision, which is handed back held.
    static CmDecisionItem& hold(CmDecisionManager& decisions, std::unique_ptr<CmDecisionItem> decision);

    QStringList events;
    // The options-and-actions texts before and after, of each change of that kind.
    QList<QStringList> blockChanges;

private:
    QObject m_context;
};
