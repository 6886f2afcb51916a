#include "views/DiagramHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CommandTool.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/AccessKey.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramPropertyOwner.h"
#include "edit/MLinkUtil.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "views/BandDock.h"
#include "views/ControlSelectorBox.h"
#include "views/DiagramThumbnail.h"
#include "views/DiagramWindow.h"
#include "views/TextSelection.h"
#include "views/DocumentArea.h"
#include "views/ExpressionBuilderLauncher.h"
#include "views/frmAddLink.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

namespace {

constexpr int DiagramCaptionId = 30206;
constexpr int ThumbnailCaptionId = 30233;
constexpr int NewNameId = 32650;
constexpr int RenameTitleId = 32651;
constexpr int WhichLinkId = 36505;
constexpr int RemoveLinkTitleId = 36506;
constexpr int LinkChoiceId = 36507;
constexpr int PreActionsId = 36508;

using T = ToolId;

bool within(int id, T first, T last)
{
    return id >= +first && id <= +last;
}

// The canvas tool each tool id chooses; the View menu's three name the same tools.
DiagramWindow::Tool canvasTool(int id)
{
    using Tool = DiagramWindow::Tool;
    switch (static_cast<T>(id)) {
    case T::Pan:
    case T::PanScreen: return Tool::Pan;
    case T::ZoomIn:
    case T::ViewZoomIn: return Tool::ZoomIn;
    case T::ZoomOut:
    case T::ViewZoomOut: return Tool::ZoomOut;
    case T::ZoomWindow: return Tool::ZoomWindow;
    case T::DrawControl: return Tool::AddControl;
    case T::AddLink: return Tool::AddLink;
    default: return Tool::Select;
    }
}

bool choosesCanvasTool(int id)
{
    return within(id, T::PanScreen, T::ViewZoomOut) || within(id, T::SelectControl, T::DrawControl)
           || within(id, T::AddLink, T::MultiSelect);
}

} // namespace

DiagramHost::DiagramHost(CApplication& application, DocumentArea& documents)
    : m_application(application), m_documents(documents),
      m_linkDialog(std::make_unique<QtLinkDialog>(&documents,
                                                  [&application](QWidget* parent, const QString& expression) {
                                                      return ExpressionBuilderLauncher::Edit(application, parent,
                                                                                             expression, true);
                                                  })), m_toolId(+T::SelectControl)
{
    CvDecisionTree& diagram = application.Controller().DiagramView();
    diagram.setLinkDialog(m_linkDialog.get());
    // New controls take the stored type; a click on the empty diagram places one when stored so.
    const DiagramSettings& settings = application.View().Settings().Diagram;
    if (settings.CurrentCTL >= 0 && settings.CurrentCTL < MDecisionDataUtil::ControlTypeCount)
        diagram.setCurrentCTL(static_cast<qint16>(settings.CurrentCTL));
    if (settings.LeftClickCommand != 0)
        m_toolId = +T::DrawControl;
    application.View().RegisterMenu(QLatin1String(WindowName), QStringLiteral("mnuDecisionTree"));
    application.View().RegisterMenu(QLatin1String(WindowName), QStringLiteral("barDecisionTree"));
    application.View().AddWindowTools(this);
    application.Controller().DiagramProperties().setResize([this](int kind) { resizeBoxes(kind); });
    showChecks();
}

DiagramHost::~DiagramHost()
{
    m_application.View().RemoveWindowTools(this);
    m_application.Controller().DiagramProperties().setResize({});
    closeWindow();
    delete m_thumbnailDock.data();
    // The selector shows this application's decisions; the bar may outlive them.
    delete m_selectorBox.data();
}

void DiagramHost::resizeBoxes(int kind)
{
    m_application.View().Settings().Diagram.EntitySize = kind;
    if (m_window)
        m_window->setEntitySize(+T::SizeSmall + kind);
    else
        m_application.Controller().DiagramView().Canvas().setEntitySizeKind(kind);
    showChecks();
}

void DiagramHost::closeWindow()
{
    delete m_subWindow.data();
}

QDockWidget& DiagramHost::makeThumbnailDock(QMainWindow& main)
{
    if (!m_thumbnailDock) {
        QDockWidget* dock = AddBandDock(main, ThumbnailBand, LoadResString(ThumbnailCaptionId), Qt::RightDockWidgetArea);
        m_thumbnailDock = dock;
        showThumbnail();
    }
    return *m_thumbnailDock;
}

void DiagramHost::showThumbnail()
{
    if (!m_thumbnailDock || !m_window)
        return;
    auto* thumbnail = new DiagramThumbnail(*m_window, m_thumbnailDock);
    m_thumbnailDock->setWidget(thumbnail);
    connect(m_window, &QObject::destroyed, thumbnail, &QObject::deleteLater);
}

void DiagramHost::addControlSelector(QToolBar& bar)
{
    auto* selector = new ControlSelectorBox(m_application.Model().Decisions(), &bar);
    bar.addWidget(selector);
    m_selectorBox = selector;
    connect(selector, &ControlSelectorBox::controlChosen, this, &DiagramHost::showControl);
}

void DiagramHost::showControl(qint16 key)
{
    if (m_window)
        m_window->showControl(key);
    else
        m_application.Controller().DecisionTree().SelectDecision(key);
}

void DiagramHost::rename(qint16 key)
{
    const CmDecisionItem* item = m_application.Model().Decisions().Item(QVariant(QString::number(key)));
    if (!item)
        return;
    const QString oldName = item->strID();
    const std::optional<QString> newName =
        m_application.Prompt().InputBox(LoadResString(NewNameId), LoadResString(RenameTitleId), oldName);
    if (newName)
        m_application.Controller().DecisionTree().Rename(oldName, newName->trimmed(), key);
}

void DiagramHost::show()
{
    if (!m_subWindow) {
        auto* window = new DiagramWindow(m_application.Controller().DecisionTree(),
                                         m_application.View().Settings().Diagram);
        window->setObjectName(QLatin1String(WindowName));
        window->setWindowTitle(LoadResPlainString(DiagramCaptionId));
        window->setTool(canvasTool(m_toolId));
        connect(window, &DiagramWindow::contextMenuRequested, this, &DiagramHost::popUp);
        connect(window, &DiagramWindow::propertiesRequested, this, &DiagramHost::controlPropertiesRequested);
        connect(window, &DiagramWindow::renameRequested, this, &DiagramHost::rename);
        m_window = window;
        m_subWindow = m_documents.addSubWindow(window);
        m_subWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_subWindow->showMaximized();
        showThumbnail();
    }
    m_documents.setActiveSubWindow(m_subWindow);
    // The area tells only while the main window is active; shown at start-up it is not yet.
    m_application.View().SetActiveWindow(QLatin1String(WindowName));
    m_application.Controller().DiagramView().setDiagramOpen(true);
}

void DiagramHost::popUp(qint16 key, QPoint globalPosition)
{
    if (!key || !m_entityPopup)
        return;
    m_application.View().UpdateBand(QLatin1String(EntityPopupBand));
    m_entityPopup->popup(globalPosition);
}

bool DiagramHost::Handles(int id) const
{
    // Drawing groups and removing links by clicking have no operation yet: their tools stay disabled.
    return within(id, T::Cut, T::Paste) || within(id, T::PanScreen, T::RestoreView) || within(id, T::Zoom25, T::Zoom100)
           || within(id, T::SelectControl, T::DrawControl) || within(id, T::AddLink, T::MultiSelect)
           || within(id, T::RestorePreviousView, T::DeleteControl) || id == +T::AddNewControl
           || within(id, T::ShowGridLines, T::SnapToGrid) || within(id, T::ControlTypeFirst, T::ControlTypeLast)
           || within(id, T::StraightLines, T::SizeLarge) || within(id, T::SelectAll, T::DeselectAll) || id == +T::RemoveLink;
}

bool DiagramHost::Allowed(int id) const
{
    if (!m_window || m_application.View().ActiveWindow() != QLatin1String(WindowName))
        return false;
    if (id == +ToolId::Paste)
        return m_application.Controller().DecisionTree().clipboard() != nullptr;
    // A text field with the keyboard selects its own text.
    if (within(id, T::SelectAll, T::DeselectAll))
        return TextSelection::Focused() == nullptr;
    if (id == +T::RemoveLink) {
        const CmDecisionItem* source = linkSource();
        return source && !MLinkUtil::Links(source->OptsAndActs()).isEmpty();
    }
    return true;
}

CmDecisionItem* DiagramHost::linkSource() const
{
    // A click selects the control (the canvas keeps no selection of its own then); a rubber band
    // or Select All selects on the canvas.
    const QList<qint16> selected = m_application.Controller().DiagramView().Canvas().SelectedKeys();
    CmDecisionManager& decisions = m_application.Model().Decisions();
    if (selected.isEmpty())
        return decisions.Selected();
    return selected.size() == 1 ? decisions.Item(int{selected.first()}) : nullptr;
}

void DiagramHost::removeLink()
{
    CmDecisionItem* source = linkSource();
    if (!source)
        return;
    // One choice for each option and target: all the !GO lines of that pair go together.
    QList<MLinkUtil::Link> links;
    QStringList choices;
    for (const MLinkUtil::Link& link : MLinkUtil::Links(source->OptsAndActs())) {
        const QString option = link.option.isEmpty() ? LoadResString(PreActionsId) : link.option;
        const QString choice = LoadResString(LinkChoiceId).arg(option, link.target);
        if (!choices.contains(choice, Qt::CaseInsensitive)) {
            choices.append(choice);
            links.append(link);
        }
    }
    qsizetype chosen = 0;
    if (links.size() > 1) {
        const std::optional<QString> answer = m_application.Prompt().ChooseItem(
            LoadResString(WhichLinkId).arg(source->strID().isEmpty() ? QString::number(source->intID()) : source->strID()), LoadResString(RemoveLinkTitleId), choices, choices.first());
        if (!answer)
            return;
        chosen = choices.indexOf(*answer);
    }
    if (chosen < 0 || chosen >= links.size())
        return;
    const MLinkUtil::Link& link = links.at(chosen);
    source->setOptsAndActs(MLinkUtil::RemoveLinkLines(source->OptsAndActs(), link.option, link.target));
}

void DiagramHost::applySettings()
{
    const DiagramSettings& settings = m_application.View().Settings().Diagram;
    CvDecisionTree& diagram = m_application.Controller().DiagramView();
    if (settings.CurrentCTL >= 0 && settings.CurrentCTL < MDecisionDataUtil::ControlTypeCount)
        diagram.setCurrentCTL(static_cast<qint16>(settings.CurrentCTL));
    if ((settings.LeftClickCommand != 0) != (m_toolId == +T::DrawControl))
        chooseTool(settings.LeftClickCommand != 0 ? +T::DrawControl : +T::SelectControl);
    if (m_window)
        m_window->setSettings(settings);
    showChecks();
}

void DiagramHost::chooseTool(int id)
{
    m_toolId = id;
    m_application.View().Settings().Diagram.LeftClickCommand = id == +T::DrawControl ? 1 : 0;
    if (m_window)
        m_window->setTool(canvasTool(id));
}

void DiagramHost::Run(int id)
{
    DiagramWindow* window = m_window;
    if (!window)
        return;
    DiagramSettings& settings = m_application.View().Settings().Diagram;
    if (choosesCanvasTool(id)) {
        chooseTool(id);
    } else if (within(id, T::ControlTypeFirst, T::ControlTypeLast)) {
        window->setControlTool(id);
        m_toolId = +T::DrawControl;
        settings.CurrentCTL = m_application.Controller().DiagramView().CurrentCTL();
        settings.LeftClickCommand = 1;
    } else if (within(id, T::StraightLines, T::OrthogonalVerticalLines)) {
        window->setLineStyle(id);
        settings.LineStyle = window->settings().LineStyle;
    } else if (within(id, T::SizeSmall, T::SizeLarge)) {
        resizeBoxes(id - +T::SizeSmall);
    }
    switch (static_cast<ToolId>(id)) {
    case T::RestoreView:
    case T::RestorePreviousView: window->restoreView(); break;
    case T::ZoomExtents: window->zoomExtents(); break;
    case T::Zoom100: window->zoom100(); break;
    case T::Zoom75: window->zoom75(); break;
    case T::Zoom50: window->zoom50(); break;
    case T::Zoom25: window->zoom25(); break;
    case T::DeleteControl: window->deleteSelected(); break;
    case T::Cut: window->cutSelected(); break;
    case T::Copy: window->copySelected(); break;
    case T::Paste: window->paste(); break;
    case T::RemoveLink: removeLink(); break;
    case T::SelectAll: {
        CanvasModel& canvas = m_application.Controller().DiagramView().Canvas();
        for (const auto& [key, entity] : canvas.AllEntities())
            canvas.Select(key, true);
        break;
    }
    case T::DeselectAll: m_application.Controller().DiagramView().Canvas().DeselectAll(); break;
    case T::AddNewControl: {
        // From the keyboard or a menu the mouse may be anywhere, even outside the window: the
        // control goes where the mouse last was only when that is well inside what the window
        // shows, otherwise in the middle of it; it is selected and shown either way.
        const CanvasModel& canvas = m_application.Controller().DiagramView().Canvas();
        const QRectF shown = window->mapToScene(window->viewport()->rect()).boundingRect();
        const QPointF mouse = DiagramWindow::toScene(canvas.LastMousePos());
        const QSizeF half = canvas.EntitySize() / 2;
        const QRectF inside = shown.adjusted(half.width(), half.height(), -half.width(), -half.height());
        const QPointF place = inside.contains(mouse) ? mouse : shown.center();
        CcDecisionTree& tree = m_application.Controller().DecisionTree();
        if (const CmDecisionItem* added = tree.AddNew(DiagramWindow::toCanvas(place), 1))
            window->showControl(added->intID());
        break;
    }
    case T::ShowGridLines:
        window->setGridLines(!window->settings().GridLines);
        settings.GridLines = window->settings().GridLines;
        break;
    case T::SnapToGrid:
        window->setSnapToGrid(!window->settings().SnapToGrid);
        settings.SnapToGrid = window->settings().SnapToGrid;
        break;
    default: break;
    }
    showChecks();
}

void DiagramHost::setChecked(int id, bool checked)
{
    if (CommandTool* tool = m_application.View().Tool(id))
        tool->setChecked(checked);
}

void DiagramHost::showChecks()
{
    const DiagramSettings& settings = m_window ? m_window->settings() : m_application.View().Settings().Diagram;
    const DiagramWindow::Tool chosen = canvasTool(m_toolId);
    for (int id = +T::PanScreen; id <= +T::ViewZoomOut; ++id)
        setChecked(id, canvasTool(id) == chosen);
    for (int id = +T::SelectControl; id <= +T::MultiSelect; ++id)
        setChecked(id, id == m_toolId);
    setChecked(+T::ShowGridLines, settings.GridLines);
    setChecked(+T::SnapToGrid, settings.SnapToGrid);
    const qint16 type = m_application.Controller().DiagramView().CurrentCTL();
    for (int id = +T::ControlTypeFirst; id <= +T::ControlTypeLast; ++id)
        setChecked(id, MDecisionDataUtil::CtlResIDToKvdCtl(id) == type);
    for (int id = +T::StraightLines; id <= +T::OrthogonalVerticalLines; ++id)
        setChecked(id, id - +T::StraightLines == settings.LineStyle);
    for (int id = +T::SizeSmall; id <= +T::SizeLarge; ++id)
        setChecked(id, id - +T::SizeSmall == settings.EntitySize);
}
