#include "views/DiagramHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "views/DiagramWindow.h"
#include "views/DocumentArea.h"
#include "views/frmAddLink.h"

#include <QMdiSubWindow>

namespace {

constexpr int DiagramCaptionId = 30206;

} // namespace

DiagramHost::DiagramHost(CApplication& application, DocumentArea& documents)
    : m_application(application), m_documents(documents),
      m_linkDialog(std::make_unique<QtLinkDialog>(&documents))
{
    CvDecisionTree& diagram = application.Controller().DiagramView();
    diagram.setLinkDialog(m_linkDialog.get());
    application.View().RegisterMenu(QLatin1String(WindowName), QStringLiteral("mnuDecisionTree"));
    application.View().RegisterMenu(QLatin1String(WindowName), QStringLiteral("barDecisionTree"));
    application.View().AddWindowTools(this);
}

DiagramHost::~DiagramHost()
{
    m_application.View().RemoveWindowTools(this);
    closeWindow();
}

void DiagramHost::closeWindow()
{
    delete m_subWindow.data();
}

void DiagramHost::show()
{
    if (!m_subWindow) {
        auto* window = new DiagramWindow(m_application.Controller().DecisionTree(),
                                         m_application.View().Settings().Diagram);
        window->setObjectName(QLatin1String(WindowName));
        window->setWindowTitle(LoadResString(DiagramCaptionId).remove(QLatin1Char('&')));
        m_window = window;
        m_subWindow = m_documents.addSubWindow(window);
        m_subWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_subWindow->showMaximized();
    }
    m_documents.setActiveSubWindow(m_subWindow);
    m_application.Controller().DiagramView().setDiagramOpen(true);
}

bool DiagramHost::Handles(int id) const
{
    using T = ToolId;
    const auto within = [id](T first, T last) { return id >= +first && id <= +last; };
    return within(T::Cut, T::Paste) || within(T::PanScreen, T::RestoreView) || within(T::Zoom25, T::Zoom100) ||
           within(T::SelectControl, T::ZoomOut) || id == +T::DrawControl || within(T::AddLink, T::MultiSelect) ||
           within(T::RestorePreviousView, T::DeleteControl) || id == +T::AddNewControl ||
           within(T::ShowGridLines, T::SnapToGrid) || within(T::ControlTypeFirst, T::ControlTypeLast) ||
           within(T::StraightLines, T::SizeLarge);
}

bool DiagramHost::Allowed(int id) const
{
    if (!m_window || m_application.View().ActiveWindow() != QLatin1String(WindowName))
        return false;
    if (id == +ToolId::Paste)
        return m_application.Controller().DecisionTree().clipboard() != nullptr;
    return true;
}

void DiagramHost::Run(int id)
{
    DiagramWindow* window = m_window;
    if (!window)
        return;
    using T = ToolId;
    using Tool = DiagramWindow::Tool;
    switch (static_cast<ToolId>(id)) {
    case T::SelectControl:
    case T::MultiSelect: window->setTool(Tool::Select); return;
    case T::Pan:
    case T::PanScreen: window->setTool(Tool::Pan); return;
    case T::ZoomIn: window->setTool(Tool::ZoomIn); return;
    case T::ZoomOut: window->setTool(Tool::ZoomOut); return;
    case T::DrawControl: window->setTool(Tool::AddControl); return;
    case T::AddLink: window->setTool(Tool::AddLink); return;
    case T::ViewZoomIn: window->zoomIn(); return;
    case T::ViewZoomOut: window->zoomOut(); return;
    case T::RestoreView:
    case T::RestorePreviousView: window->restoreView(); return;
    case T::ZoomExtents: window->zoomExtents(); return;
    case T::Zoom100: window->zoom100(); return;
    case T::Zoom75: window->zoom75(); return;
    case T::Zoom50: window->zoom50(); return;
    case T::Zoom25: window->zoom25(); return;
    case T::DeleteControl: window->deleteSelected(); return;
    case T::Cut: window->cutSelected(); return;
    case T::Copy: window->copySelected(); return;
    case T::Paste: window->paste(); return;
    case T::AddNewControl: {
        CcDecisionTree& tree = m_application.Controller().DecisionTree();
        tree.AddNew(m_application.Controller().DiagramView().Canvas().LastMousePos(), 1);
        return;
    }
    case T::ShowGridLines: {
        const bool shown = !window->settings().GridLines;
        window->setGridLines(shown);
        m_application.View().Settings().Diagram.GridLines = shown;
        return;
    }
    case T::SnapToGrid: {
        const bool snap = !window->settings().SnapToGrid;
        window->setSnapToGrid(snap);
        m_application.View().Settings().Diagram.SnapToGrid = snap;
        return;
    }
    default: break;
    }
    if (id >= +T::ControlTypeFirst && id <= +T::ControlTypeLast)
        window->setControlTool(id);
    else if (id >= +T::StraightLines && id <= +T::OrthogonalVerticalLines)
        window->setLineStyle(id);
    else if (id >= +T::SizeSmall && id <= +T::SizeLarge)
        window->setEntitySize(id);
}
