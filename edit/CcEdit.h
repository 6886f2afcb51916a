#pragma once

#include "edit/CcUndo.h"
#include "edit/FindReplace.h"

#include <QObject>
#include <QStringList>

#include <functional>

#include <optional>

class CcCriteriaList;
class CcDecisionTree;
class CmDecisionManager;
class CmDocument;
class IPrompt;
class ISelectorExplorer;

// The edit commands: undo and redo through the project's one history, the clipboard commands
// to the tree or the selector editor that has the focus, and find and replace.
class CcEdit final : public QObject {
    Q_OBJECT

public:
    CcEdit(CmDecisionManager& decisions, IPrompt& prompt, QObject* parent = nullptr);
    ~CcEdit() override;

    void setTree(CcDecisionTree* tree);
    void setDocument(CmDocument* document);
    // Needs the document for the stored selectors.
    void setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer);

    CcUndo& Undo() { return m_undo; }
    const CcUndo& Undo() const { return m_undo; }
    FindReplace& Finder() { return m_finder; }

    void UndoCommand();
    void RedoCommand();
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void DeSelectAll();

    // The find bar's choices; it sets them before each of its commands.
    SearchRequest& Request() { return m_request; }
    const SearchRequest& Request() const { return m_request; }

    // Starts a search from the selected control (or the first) and shows the find bar.
    void Find();
    // The next match after the last one; none: a message, and the next search starts over.
    void FindNext();
    // Replaces the match the last find left selected, then finds the next.
    void Replace();
    // Replaces every match of the area; the count is told and returned.
    qint64 ReplaceAll();
    // The tree's validation errors as they stand, one text each; Replace All asks before and
    // after, and its message names the first error it brought. Unset, nothing is checked.
    using ErrorCheck = std::function<QStringList()>;
    void setErrorCheck(ErrorCheck check) { m_errorCheck = std::move(check); }

    const std::optional<FoundMatch>& LastMatch() const { return m_last; }
    qint64 ReplacementCount() const { return m_count; }

signals:
    void findShown();
    // A match was found: the control is selected (its window shows the mark), or the cell is
    // current in its editor.
    void matchFound(const FoundMatch& match);
    void statusChanged(const QString& text);

private:
    void InitSearch();
    bool selectorHasFocus() const;
    std::optional<FoundMatch> searchTree() const;
    std::optional<FoundMatch> searchSelectors() const;
    void show(const FoundMatch& match);

    CmDecisionManager& m_decisions;
    IPrompt& m_prompt;
    CcUndo m_undo;
    FindReplace m_finder;
    CcDecisionTree* m_tree = nullptr;
    CmDocument* m_document = nullptr;
    CcCriteriaList* m_selectors = nullptr;
    ISelectorExplorer* m_explorer = nullptr;
    ErrorCheck m_errorCheck;
    SearchRequest m_request;
    qint16 m_startKey = 1;
    QString m_startSelector;
    std::optional<FoundMatch> m_last;
    qint64 m_count = 0;
};
