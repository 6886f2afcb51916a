#pragma once

#include "edit/OptionBlockCheck.h"
#include "lang/OptionTree.h"

#include <QObject>
#include <QString>

class CmDecisionItem;
class CmDecisionManager;
class ISelectorCatalog;
struct DecisionChange;

// One decision's options and actions as the options editor works on them: the tree, the
// operations on it and the rules that allow them, the advanced text and the check. Every
// change that alters the lines is set on the decision at once through its setter, so the undo
// history records it and every other window hears of it; a change made elsewhere (undo, find
// and replace, a link, a change of interface) loads the tree again.
class OptionsEditSession : public QObject {
    Q_OBJECT

public:
    explicit OptionsEditSession(CmDecisionManager& decisions, QObject* parent = nullptr);
    ~OptionsEditSession() override;

    // Where selector references are checked; null skips that check. Must outlive the session
    // or be replaced first.
    void setSelectorCatalog(const ISelectorCatalog* catalog) { m_catalog = catalog; }

    // Null closes. The decision must be one the manager holds.
    void Open(CmDecisionItem* decision);
    CmDecisionItem* Decision() const { return m_decision; }
    const OptionTree& Tree() const { return m_tree; }

    // The selection, by line position (-1 for the root or none) or by node key.
    int SelectedLine() const;
    void SelectLine(int line);
    void SelectKey(const QString& key);
    const OptionTreeNode* Selected() const { return m_tree.selected(); }

    // The rules that enable the editor's commands for the current selection.
    bool CanAddOption() const;
    bool CanAddAction() const { return m_decision != nullptr; }
    bool CanAddHelp() const;
    bool CanAddElseIf() const;
    bool CanAddElse() const;
    bool CanEdit() const;
    bool CanRemove() const;
    bool CanMoveUp() const;
    bool CanMoveDown() const;

    // Each answers whether the lines changed. An action that opens a block is added with its
    // !ENDIF; !ELSEIF and !ELSE join the block that holds the selection.
    bool AddOption(const QString& text);
    bool AddAction(const QString& text);
    bool AddHelp(const QString& text);
    bool ReplaceSelected(const QString& text);
    bool RemoveSelected();
    bool MoveUp();
    bool MoveDown();

    // The lines as the tree holds them, and as the advanced editor shows them.
    QStringList Lines() const;
    QString AdvancedText() const;
    // Reads the advanced editor's text back through the tree; the selection follows the line
    // at the caret's line when given (0-based line of the text).
    bool ApplyAdvancedText(const QString& text, int caretLine = -1);

    // The check of the lines as they stand, by line position, and of a text being typed.
    QList<OptionBlockCheck::Finding> CheckLines() const;
    QList<OptionBlockCheck::Finding> CheckText(const QString& text) const;

signals:
    // The tree was loaded again or edited; the selection may have moved.
    void treeChanged();
    void selectionChanged();
    // Another decision (or none) is open; also when the open one was renamed.
    void decisionChanged(CmDecisionItem* decision);

private:
    void reload();
    bool commit(bool changed);
    void onChanged(CmDecisionItem* item, const DecisionChange& change);
    void onRemoved(CmDecisionItem* item);
    OptionBlockCheck::Names names() const;

    CmDecisionManager& m_decisions;
    const ISelectorCatalog* m_catalog = nullptr;
    CmDecisionItem* m_decision = nullptr;
    OptionTree m_tree;
    bool m_committing = false;
};
