#include "edit/CcEdit.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "selectors/CcCriteriaList.h"

#include <QSet>

namespace {

constexpr int NotFoundId = 12200;
constexpr int SearchedId = 12201;
constexpr int OneReplacementId = 12202;
constexpr int ReplacementsId = 12203;
constexpr int NewErrorId = 36504;
constexpr int FindTitleId = 13200;
constexpr int SkippedId = 32752;

} // namespace

CcEdit::CcEdit(CmDecisionManager& decisions, IPrompt& prompt, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_prompt(prompt), m_undo(decisions), m_finder(decisions)
{
}

CcEdit::~CcEdit() = default;

void CcEdit::setTree(CcDecisionTree* tree)
{
    m_tree = tree;
    m_undo.setTree(tree);
    m_finder.setTree(tree);
}

void CcEdit::setDocument(CmDocument* document)
{
    m_document = document;
    m_undo.setDocument(document);
    m_finder.setSelectors(m_selectors, m_explorer, document);
}

void CcEdit::setSelectors(CcCriteriaList* selectors, ISelectorExplorer* explorer)
{
    m_selectors = selectors;
    m_explorer = explorer;
    m_undo.setSelectors(selectors, explorer);
    m_finder.setSelectors(selectors, explorer, m_document);
}

void CcEdit::UndoCommand()
{
    m_undo.UndoCommand();
}

void CcEdit::RedoCommand()
{
    m_undo.RedoCommand();
}

bool CcEdit::selectorHasFocus() const
{
    const CvCriteriaList* active = m_selectors ? m_selectors->Manager().ActiveList() : nullptr;
    return active && active->GotFocus();
}

void CcEdit::Copy()
{
    if (selectorHasFocus())
        m_selectors->CopyCells();
    else if (m_tree)
        m_tree->CopyEntity();
}

void CcEdit::Cut()
{
    if (selectorHasFocus())
        m_selectors->CutCells();
    else if (m_tree)
        m_tree->CutEntity();
}

void CcEdit::Paste()
{
    if (selectorHasFocus())
        m_selectors->PasteCells();
    else if (m_tree)
        m_tree->PasteEntity();
}

void CcEdit::Clear()
{
    ProcedureBoundary::run("CcEdit.Clear", [&] {
        if (selectorHasFocus())
            m_selectors->Clear();
    });
}

void CcEdit::DeSelectAll()
{
    ProcedureBoundary::run("CcEdit.DeSelectAll", [&] {
        if (m_tree && !selectorHasFocus())
            m_tree->DeSelectDecision();
    });
}

void CcEdit::InitSearch()
{
    const CmDecisionItem* selected = m_decisions.Selected();
    m_startKey = selected ? selected->intID() : 1;
    const CvCriteriaList* active = m_selectors ? m_selectors->Manager().ActiveList() : nullptr;
    m_startSelector = active ? active->Name() : QString();
    m_last.reset();
}

void CcEdit::Find()
{
    ProcedureBoundary::run("CcEdit.Find", [&] {
        InitSearch();
        m_count = 0;
        emit findShown();
    });
}

std::optional<FoundMatch> CcEdit::searchTree() const
{
    return m_finder.NextInTree(m_request, m_startKey, m_last);
}

std::optional<FoundMatch> CcEdit::searchSelectors() const
{
    return m_finder.NextInSelectors(m_request, m_startSelector, m_last);
}

void CcEdit::show(const FoundMatch& match)
{
    m_last = match;
    if (match.inSelector) {
        if (m_selectors) {
            m_selectors->EditList(match.selector);
            if (CvCriteriaList* editor = m_selectors->Manager().Item(match.selector))
                editor->setCurrentCell(std::max(match.row, 1), match.column);
        }
    } else if (m_tree) {
        m_tree->SelectDecision(int{match.key});
    } else {
        m_decisions.SetSelectedDecision(int{match.key});
    }
    emit matchFound(match);
}

void CcEdit::FindNext()
{
    ProcedureBoundary::run("CcEdit.FindNext", [&] {
        m_count = 0;
        std::optional<FoundMatch> found;
        if (m_request.area == SearchRequest::Everything) {
            const bool selectorsFirst = selectorHasFocus();
            found = selectorsFirst ? searchSelectors() : searchTree();
            if (!found) {
                // The other part from its beginning.
                const std::optional<FoundMatch> last = m_last;
                m_last.reset();
                const qint16 start = m_startKey;
                m_startKey = 1;
                found = selectorsFirst ? searchTree() : searchSelectors();
                m_startKey = start;
                if (!found)
                    m_last = last;
            }
        } else {
            found = m_request.SearchesSelectors() ? searchSelectors() : searchTree();
        }
        if (found) {
            show(*found);
            return;
        }
        m_prompt.MessageBox(LoadResString(NotFoundId), LoadResString(FindTitleId), PromptButtons::Ok,
                            PromptIcon::Information);
        InitSearch();
    });
}

void CcEdit::Replace()
{
    ProcedureBoundary::run("CcEdit.Replace", [&] {
        if (m_last && m_finder.Replace(*m_last, m_request)) {
            ++m_count;
            // Searching goes on after the replacement, never inside it.
            m_last->position += m_request.replacement.size() - 1;
        }
        FindNext();
    });
}

qint64 CcEdit::ReplaceAll()
{
    return ProcedureBoundary::runOr("CcEdit.ReplaceAll", qint64{0}, [&] {
        if (m_request.text.isEmpty())
            return qint64{0};
        InitSearch();
        const QStringList errorsBefore = m_errorCheck ? m_errorCheck() : QStringList();
        // One command for the author: one undo gives back every replacement.
        const FindReplace::Outcome outcome = [&] {
            const CcUndo::Group group(m_undo);
            return m_finder.ReplaceAll(m_request);
        }();
        m_count = outcome.replaced;
        QString text = LoadResString(SearchedId) + QString::number(m_count) +
                       LoadResString(m_count == 1 ? OneReplacementId : ReplacementsId);
        if (outcome.skipped > 0)
            text += LoadResString(SkippedId).arg(outcome.skipped);
        // The replacement stays (it is what was asked), but an author must hear what it broke.
        if (m_errorCheck && m_count > 0) {
            const QSet<QString> before(errorsBefore.cbegin(), errorsBefore.cend());
            for (const QString& error : m_errorCheck()) {
                if (!before.contains(error)) {
                    text += LoadResString(NewErrorId).arg(error);
                    break;
                }
            }
        }
        emit statusChanged(text);
        m_prompt.MessageBox(text, LoadResString(FindTitleId), PromptButtons::Ok, PromptIcon::Information);
        return m_count;
    });
}
