#include "views/SelectorWorkspace.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "edit/CcEdit.h"
#include "views/frmCriteriaList.h"

namespace {
// The grid commands of the active editor.
bool needsEditor(int id)
{
    return (id >= 904 && id <= 908) || (id >= 203 && id <= 206);
}
} // namespace

SelectorWorkspace::SelectorWorkspace(QMdiArea& area, CmDocument& document, IPrompt& prompt,
                                     ISelectorExplorer& explorer, CView* view)
    : m_commands(document, prompt, explorer), m_dialogs(area, m_commands.Manager(), view)
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
    if (!needsEditor(id))
        return true;
    const CvCriteriaList* editor = m_commands.Manager().ActiveList();
    if (!editor)
        return false;
    if (id >= 203 && id <= 206)
        return editor->GotFocus() && (id != 205 || editor->CanPaste());
    return true;
}

bool SelectorWorkspace::RunTool(int id)
{
    if (!ToolAllowed(id))
        return false;
    switch (id) {
    case 901: m_commands.NewList(); return true;
    case 902: m_commands.EditList(); return true;
    case 903: m_commands.DeleteList(); return true;
    case 904: m_commands.RenameColumn(); return true;
    case 905: m_commands.InsertColumn(); return true;
    case 906: m_commands.DeleteColumn(); return true;
    case 907: m_commands.InsertRow(); return true;
    case 908: m_commands.DeleteRow(); return true;
    case 912: m_commands.RenameList(); return true;
    case 122:
    case 913: m_commands.Import(); return true;
    case 132:
    case 914: m_commands.Export(); return true;
    case 203: m_commands.CutCells(); return true;
    case 204: m_commands.CopyCells(); return true;
    case 205: m_commands.PasteCells(); return true;
    case 206: m_commands.Clear(); return true;
    default: return false;
    }
}
