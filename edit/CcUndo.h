#pragma once

#include "edit/CcUndoItem.h"
#include "edit/IEditRecorder.h"
#include "selectors/SelectorUndoRecord.h"

#include <QObject>
#include <QPointer>

#include <deque>
#include <optional>

class CcCriteriaList;
class CcDecisionTree;
class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ISelectorExplorer;
struct DecisionChange;

// The history of the open project's editing commands, twenty deep, undone and redone.
//
// Decision changes come from the manager's change events; the diagram (added, deleted, moved)
// and the selector commands and grids hand their commands through the recorder seams. While a
// command is undone or redone nothing is recorded.
class CcUndo final : public QObject, public IEditRecorder, public ISelectorUndoRecorder {
    Q_OBJECT

public:
    static constexpr int Depth = 20;

    enum Kind : qint16 {
        ControlData = 0,
        PageHeader = 1,
        OptsAndActs = 2,
        Property = 3,
        ControlAdded = 4,
        ControlDeleted = 5,
        ControlMoved = 6,
        PictureAdded = 7,
        PictureRemoved = 8,
        PictureChanged = 9,
    };

    // While one lives, everything recorded becomes one command of the history, undone and
    // redone as a whole. Groups nest; the outermost one records.
    class Group {
    public:
        explicit Group(CcUndo& undo) : m_undo(undo) { m_undo.beginGroup(); }
        ~Group() { m_undo.endGroup(); }
        Group(const Group&) = delete;
        Group& operator=(const Group&) = delete;

    private:
        CcUndo& m_undo;
    };

    explicit CcUndo(CmDecisionManager& decisions, QObject* parent = nullptr);
    ~CcUndo() override;
    CcUndo(const CcUndo&) = delete;
    CcUndo& operator=(const CcUndo&) = delete;

    // The diagram's commands are recorded and executed through the tree. May be null.
    void setTree(CcDecisionTree* tree);
    // The project's storage (pictures, stored selectors); its opening starts a new history.
    void setDocument(CmDocument* document);
    // The selector commands and the project explorer's lists of selectors and pictures.
    void setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer);

    void AddCommand(qint16 kind, const QVariant& key, const QVariant& data, const QVariant& oldValue,
                    const QVariant& newValue) override;
    void AddCommand(const SelectorUndoRecord& record) override;
    void BeginStep() override { beginGroup(); }
    void EndStep() override { endGroup(); }
    void UndoCommand();
    void RedoCommand();
    void Clear();

    qint16 UndoCount() const { return m_undoCount; }
    qint16 RedoCount() const { return m_redoCount; }
    // True suspends recording; it starts false.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool suspended) { m_enabled = suspended; }
    // True while a record is undone or redone.
    bool Changing() const { return m_changing; }

    // The kind the next undo or redo executes, for the menu captions.
    std::optional<qint16> NextUndoKind() const;
    std::optional<qint16> NextRedoKind() const;

signals:
    void countsChanged();
    // Sent for every command recorded, also when the counts stay (twenty deep).
    void commandRecorded(qint16 kind);
    // A control was changed back: it is the selected one now and its window may show it.
    void controlRestored(CmDecisionItem* item);
    // A picture came back into or left the project.
    void pictureAdded(const QString& name);
    void pictureRemoved(const QString& name);
    void pictureRenamed(const QString& oldName, const QString& newName);

private:
    void markChanged();
    void beginGroup();
    void endGroup();
    void push(std::deque<CcUndoItem>& stack, CcUndoItem item);
    CcUndoItem executeGroup(const CcUndoItem& group);
    void onDecisionChanged(CmDecisionItem* item, const DecisionChange& change);
    void onDecisionRenamed(CmDecisionItem* item, const QString& oldName, const QString& newName);
    void onOpened();
    void record(CcUndoItem item);
    // Performs the inverse of the record's command and returns the record that undoes that.
    CcUndoItem ExecuteCommand(const CcUndoItem& item);
    void executeControlChange(const CcUndoItem& item);
    void executeRename(CmDecisionItem& item, const QString& name);
    CcUndoItem executeAddRemove(const CcUndoItem& item);
    void executeMove(const CcUndoItem& item);
    void executePicture(const CcUndoItem& item);
    CcUndoItem executeSelector(const CcUndoItem& item);
    void executeGrid(const SelectorUndoRecord& record);
    QString storedSelectorText(const QString& name, bool external) const;
    void restoreSelector(const SelectorUndoRecord& record);
    void select(CmDecisionItem* item);

    CmDecisionManager& m_decisions;
    QPointer<CcDecisionTree> m_tree;
    QPointer<CmDocument> m_document;
    CcCriteriaList* m_selectors = nullptr;
    ISelectorExplorer* m_explorer = nullptr;
    std::deque<CcUndoItem> m_undo;
    std::deque<CcUndoItem> m_redo;
    qint16 m_undoCount = 0;
    qint16 m_redoCount = 0;
    bool m_enabled = false;
    bool m_changing = false;
    int m_groupDepth = 0;
    CcUndoItem m_group;
};
