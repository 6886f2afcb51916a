#pragma once

#include <QVariant>

class CmDecisionItem;

// What a decision tells the rest of the program when an editor changes it: the undo history
// and the windows that show it. The decision manager supplies one; a decision without hooks
// (being read, or in a test) changes silently.
class IDecisionEditHooks {
public:
    // Undo record kind of a changed options-and-actions block; old and new values are the
    // blocks in their one-text form.
    static constexpr qint16 UndoOptsAndActs = 2;

    virtual ~IDecisionEditHooks() = default;

    // One undo record for the decision numbered intID.
    virtual void RecordUndo(qint16 kind, qint16 intID, const QVariant& oldValue, const QVariant& newValue) = 0;
    // The page and control previews show the decision again, where they are showing.
    virtual void RefreshPreviews(const CmDecisionItem& item) = 0;
    // The input interface changed; the properties window follows while the diagram is edited.
    virtual void ControlTypeChanged(const CmDecisionItem& item) = 0;

protected:
    IDecisionEditHooks() = default;
    IDecisionEditHooks(const IDecisionEditHooks&) = default;
    IDecisionEditHooks& operator=(const IDecisionEditHooks&) = default;
};
