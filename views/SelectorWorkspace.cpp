#include "views/SelectorWorkspace.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "edit/CcEdit.h"
#include "selectors/ISelectorExplorer.h"
#include "views/frmCriteriaList.h"

#include <algorithm>

namespace {
// The grid commands of the active editor.
bool needsEditor(int id)
{
    return (id >= +ToolId::RenameProperty && id <= +ToolId::DeleteItem) || (id >= +ToolId::Cut && id <= +ToolId::DeselectAll);
}
// The commands that pick a selector of the project to work on.
bool needsSelector(int id)
{
    switch (id) {
    case +ToolId::EditSelector:
    case +ToolId::DeleteSelector:
    case +ToolId::RenameSelector:
    case +ToolId::ExportSelector:
    case +ToolId::ExportSelectorFromGrid:
        return true;
    default:
        return false;
    }
}
} // namespace

SelectorWorkspace::SelectorWorkspace(QMdiArea& area, CmDocument& document, IPrompt& prompt,
                                     ISelectorExplorer& explorer, CView* view)
    : m_explorer(explorer), m_commands(document, prompt, explorer), m_dialogs(area, m_commands.Manager(), view)
{
    m_commands.setDialogs(&m_dialogs);
    if (view) {
        view->RegisterMenu(frmCriteriaList::WindowName(), QStringLiteral("mnuCriteriaListMain"));
        m_commands.Manager().setStatusSink([view](const QString& text) { view->SetStatus(text); });
    }
    // The selector commands and grids record into the project's undo history; find and
    // replace reach the selectors through them.
    if (gApp) {
        m_edit = &gApp->Controller().Edit();
        m_edit->setSelectors(&m_commands, &explorer);
    }
}

SelectorWorkspace::~SelectorWorkspace()
{
    if (m_edit)
        m_edit->setSelectors(nullptr, nullptr);
}

bool SelectorWorkspace::ToolAllowed(int id) const
{
    if (needsSelector(id))
        return !m_explorer.CriteriaListNames().isEmpty() || !m_explorer.ExternalCLNames().isEmpty();
    if (!needsEditor(id))
        return true;
    const CvCriteriaList* editor = m_commands.Manager().ActiveList();
    if (!editor)
        return false;
    if (id >= +ToolId::Cut && id <= +ToolId::DeselectAll)
        return editor->GotFocus() && (id != +ToolId::Paste || editor->CanPaste());
    return true;
}

bool SelectorWorkspace::RunTool(int id)
{
    if (!ToolAllowed(id))
        return false;
    switch (id) {
    case +ToolId::NewSelector: m_commands.NewList(); return true;
    case +ToolId::EditSelector: m_commands.EditList(); return true;
    case +ToolId::DeleteSelector: m_commands.DeleteList(); return true;
    case +ToolId::RenameProperty: m_commands.RenameColumn(); return true;
    case +ToolId::InsertProperty: m_commands.InsertColumn(); return true;
    case +ToolId::DeleteProperty: m_commands.DeleteColumn(); return true;
    case +ToolId::InsertItem: m_commands.InsertRow(); return true;
    case +ToolId::DeleteItem: m_commands.DeleteRow(); return true;
    case +ToolId::RenameSelector: m_commands.RenameList(); return true;
    case +ToolId::ImportSelector:
    case +ToolId::ImportSelectorIntoGrid: m_commands.Import(); return true;
    case +ToolId::ExportSelector:
    case +ToolId::ExportSelectorFromGrid: m_commands.Export(); return true;
    case +ToolId::Cut: m_commands.CutCells(); return true;
    case +ToolId::Copy: m_commands.CopyCells(); return true;
    case +ToolId::Paste: m_commands.PasteCells(); return true;
    case +ToolId::Clear: m_commands.Clear(); return true;
    case +ToolId::SelectAll: {
        CvCriteriaList& grid = *m_commands.Manager().ActiveList();
        grid.setCurrentCell(0, 0);
        grid.setSelectionCorner(std::max(0, grid.RowCount() - 1), std::max(0, grid.ColumnCount() - 1));
        return true;
    }
    case +ToolId::DeselectAll: {
        CvCriteriaList& grid = *m_commands.Manager().ActiveList();
        grid.setCurrentCell(grid.CurrentRow(), grid.CurrentColumn());
        return true;
    }
    default: return false;
    }
}
