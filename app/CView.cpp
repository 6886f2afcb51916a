#include "app/CView.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CcFile.h"
#include "app/CommandBand.h"
#include "app/CommandBands.h"
#include "app/CommandDispatcher.h"
#include "app/InputRefusal.h"
#include "app/CommandTable.h"
#include "app/CommandTool.h"
#include "app/ToolRegistry.h"
#include "project/CvProject.h"
#include "base/ErrorLog.h"
#include "app/IUndoCounts.h"
#include "app/IWindowTools.h"
#include "app/IWindowHost.h"
#include "app/MRegistry.h"
#include "base/ResourceStrings.h"
#include "app/ViewSettings.h"
#include "model/CmDocument.h"
#include "base/ProcedureBoundary.h"
#include "persist/PropertyBag.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace {
constexpr int ReadyTextId = 14000;
constexpr int InputRefusedTextId = 34900;
constexpr qint64 PendingEventsIntervalMs = 100;
constexpr int OpensRecentFileId = 30266;

const QString StatusTool = QStringLiteral("miStatus");
const QString ProgressTool = QStringLiteral("ccrpProgress1");
const QString RecentSeparator = QStringLiteral("miFMRUSep");
const QString RecentMenu = QStringLiteral("mnuRecent");
const QString LogBand = QStringLiteral("barLog");

using ProcedureBoundary::run;

static_assert(CommandTable::RecentFileToolCount == CcFile::RecentFileCount, "every recent file has its tool");

// Each entry of the recent-files menu starts with its own access key: the number up to 9, the 0
// of 10, then the letters from A on.
QString recentFileKey(int index)
{
    if (index < 10)
        return QStringLiteral("&%1").arg(index);
    if (index == 10)
        return QStringLiteral("1&0");
    return QStringLiteral("&") + QChar(u'A' + index - 11);
}
} // namespace

CView::CView(IWindowHost& windows, CvProject& explorer)
    : m_windows(windows), m_bands(std::make_unique<CommandBands>()), m_status(LoadResString(ReadyTextId)),
      m_project(explorer), m_settings(std::make_unique<ViewSettings>())
{
    LoadResources();
    // A band shown or hidden from anywhere, the Designer's own close buttons included, keeps
    // the check marks of the View menu true.
    for (CommandBand* band : m_bands->Bands())
        connect(band, &CommandBand::visibleChanged, this, &CView::UpdateAllBands);
    connect(&m_project, &CvProject::changed, this, &CView::RefreshProjectCommands);
    UpdateAllBands();
}

CView::~CView() = default;

void CView::Init()
{
    followControllers();
    MRegistry::LoadFromRegistry();
    UpdateAllBands();
    SetStatus(QString());
}

void CView::followControllers()
{
    if (!gApp)
        return;
    CcFile& file = gApp->Controller().File();
    connect(&file, &CcFile::recentFilesChanged, this, &CView::showRecentFiles, Qt::UniqueConnection);
    connect(&file, &CcFile::projectChanged, this, &CView::UpdateAllBands, Qt::UniqueConnection);
}

void CView::Show()
{
    m_windows.ShowMainWindow();
}

void CView::Hide()
{
    emit hideRequested();
}

void CView::SetStatus(const QString& text)
{
    m_status = text.isEmpty() ? LoadResString(ReadyTextId) : text;
    if (CommandTool* tool = m_bands->NamedTool(StatusTool))
        tool->setCaption(m_status);
    emit statusChanged(m_status);
    letPendingEventsRun();
}

void CView::SetProgress(int percent)
{
    m_progressVisible = percent >= 0;
    m_progress = qBound(0, percent, 100);
    if (CommandTool* tool = m_bands->NamedTool(ProgressTool)) {
        tool->setCaption(QString::number(m_progress) + QLatin1Char('%'));
        tool->setVisible(m_progressVisible);
    }
    emit progressChanged(m_progress, m_progressVisible);
    letPendingEventsRun();
}

void CView::HideProgressBar()
{
    SetProgress(-1);
}

void CView::ProgressBusy(bool busy)
{
    if (m_progressBusy == busy)
        return;
    m_progressBusy = busy;
    emit progressBusyChanged(busy);
    SetProgress(busy ? 0 : -1);
}

void CView::RefusePendingInput()
{
    m_lastPendingEventsRun.invalidate();
    letPendingEventsRun();
}

void CView::ResizeStatusBar()
{
    emit statusBarResizeRequested();
}

void CView::letPendingEventsRun()
{
    // Long operations report through here: the windows repaint, but a key or click made now is
    // refused, not kept for later, so nothing is changed while the project is written or read.
    // A few times a second is enough to look alive; repainting a large diagram at every report
    // would cost more than the work.
    if (m_lastPendingEventsRun.isValid() && m_lastPendingEventsRun.elapsed() < PendingEventsIntervalMs)
        return;
    m_lastPendingEventsRun.start();
    const InputRefusal refusal;
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    if (!refusal.refusedAny())
        return;
    m_status = LoadResString(InputRefusedTextId);
    if (CommandTool* tool = m_bands->NamedTool(StatusTool))
        tool->setCaption(m_status);
    emit statusChanged(m_status);
}

CommandBand* CView::Band(const QString& name) const
{
    return m_bands->Band(name);
}

CommandTool* CView::Tool(int id) const
{
    return m_bands->Tool(id);
}

void CView::LoadResources()
{
    run("CView.LoadResources", [this] {
        m_bands->LoadResources();
        showRecentFiles(m_recentFiles);
    });
}

void CView::RegisterMenu(const QString& window, const QString& menu)
{
    run("CView.RegisterMenu", [&] {
        if (!Band(menu))
            return;
        m_registeredMenus.emplace_back(window, menu);
    });
}

void CView::SetActiveWindow(const QString& window)
{
    m_activeWindow = window;
    QStringList shown;
    for (const auto& [owner, menu] : m_registeredMenus) {
        if (owner == window)
            shown.append(menu);
    }
    for (const auto& registered : m_registeredMenus)
        setBandVisible(registered.second, shown.contains(registered.second));
    UpdateAllBands();
}

void CView::AddWindowTools(IWindowTools* tools)
{
    m_windowTools.push_back(tools);
    UpdateAllBands();
}

void CView::RemoveWindowTools(IWindowTools* tools)
{
    std::erase(m_windowTools, tools);
}

bool CView::WindowToolAllowed(int id) const
{
    return std::any_of(m_windowTools.cbegin(), m_windowTools.cend(),
                       [id](const IWindowTools* tools) { return tools->Handles(id) && tools->Allowed(id); });
}

void CView::RunWindowTool(int id)
{
    for (IWindowTools* tools : m_windowTools) {
        if (tools->Handles(id) && tools->Allowed(id)) {
            tools->Run(id);
            return;
        }
    }
}

void CView::StopRunningWindowTools()
{
    // A tool may go away while another stops: the list is walked as a copy.
    const std::vector<IWindowTools*> tools = m_windowTools;
    for (IWindowTools* running : tools) {
        if (std::find(m_windowTools.cbegin(), m_windowTools.cend(), running) != m_windowTools.cend())
            running->StopRunning();
    }
}

void CView::setBandVisible(const QString& name, bool visible)
{
    if (CommandBand* band = Band(name))
        band->setVisible(visible);
}

void CView::ShowToolBar(const QString& name)
{
    run("CView.ShowToolBar", [&] { setBandVisible(name, true); });
}

void CView::HideToolBar(const QString& name)
{
    run("CView.HideToolBar", [&] { setBandVisible(name, false); });
}

void CView::ShowMenu(const QString& name)
{
    setBandVisible(name, true);
}

void CView::HideMenu(const QString& name)
{
    setBandVisible(name, false);
}

void CView::ClearLog()
{
    m_log.clear();
    emit logCleared();
}

void CView::AddLog(const QString& text)
{
    run("CView.AddLog", [&] {
        const QString line = text + QStringLiteral("\r\n");
        m_log += line;
        emit logAppended(line);
    });
}

void CView::ShowLog()
{
    ShowToolBar(LogBand);
}

void CView::HideLog()
{
    HideToolBar(LogBand);
}

void CView::showRecentFiles(const QStringList& files)
{
    m_recentFiles = files;
    for (int index = 1; index <= CommandTable::RecentFileToolCount; ++index) {
        CommandTool* tool = Tool(CommandTable::RecentFileToolId(index));
        const QString path = QDir::toNativeSeparators(files.value(index - 1));
        tool->setCaption(path.isEmpty() ? QString() : recentFileKey(index) + QLatin1Char(' ') + QString(path).replace(QLatin1Char('&'), QLatin1String("&&")));
        tool->setToolTip(path);
        tool->setStatusHelp(path.isEmpty() ? QString() : LoadResString(OpensRecentFileId).arg(path));
        tool->setVisible(!path.isEmpty());
    }
    if (CommandTool* separator = m_bands->NamedTool(RecentSeparator))
        separator->setVisible(!files.isEmpty());
    setBandVisible(RecentMenu, !files.isEmpty());
    UpdateBand(RecentMenu);
}

void CView::mAB_ToolClick(int id)
{
    run("CView.mAB_ToolClick", [this, id] {
        if (gApp && gApp->IsBusy())
            return;
        // A running control wizard is brought to the front instead.
        for (IWindowTools* tools : m_windowTools) {
            if (tools->BringHoldingWindowForward())
                return;
        }
        CommandTool* tool = Tool(id);
        if (!tool)
            return;
        emit toolAboutToRun(id);
        refreshTool(*tool);
        if (!tool->Enabled())
            return;
        CommandDispatcher::Run(*this, id);
    });
}

void CView::CallToolID(int id)
{
    mAB_ToolClick(id);
}

void CView::DisableTools()
{
    m_toolsDisabled = true;
    UpdateAllBands();
}

void CView::EnableTools()
{
    m_toolsDisabled = false;
    UpdateAllBands();
}

bool CView::ToolAllowed(int id) const
{
    const ToolRegistry::Row* row = ToolRegistry::Find(id);
    return !row || !row->allowed || row->allowed(*this, id);
}

int CView::UndoCount() const
{
    return m_undoCounts ? m_undoCounts->UndoCount() : 0;
}

int CView::RedoCount() const
{
    return m_undoCounts ? m_undoCounts->RedoCount() : 0;
}

void CView::refreshTool(CommandTool& tool) const
{
    if (tool.kind() != CommandTool::Kind::Command)
        return;
    const int id = tool.Id();
    tool.setEnabled(!m_toolsDisabled && ToolRegistry::Implemented(id) && ToolAllowed(id));
    const ToolRegistry::Row* row = ToolRegistry::Find(id);
    if (row && row->checked)
        tool.setChecked(row->checked(*this, id));
}

void CView::UpdateBand(const QString& name)
{
    run("CView.UpdateBand", [&] {
        if (const CommandBand* band = Band(name)) {
            for (CommandTool* tool : band->Tools())
                refreshTool(*tool);
        }
    });
}

void CView::UpdateAllBands()
{
    run("CView.UpdateAllBands", [this] {
        for (CommandTool* tool : m_bands->Tools())
            refreshTool(*tool);
    });
}

void CView::RefreshProjectCommands()
{
    for (const ToolId id : {ToolId::EditSelector, ToolId::DeleteSelector, ToolId::ViewPicture, ToolId::RemovePicture,
                            ToolId::ExportPictureFromProject, ToolId::RenamePicture, ToolId::ExportPicture}) {
        if (CommandTool* tool = Tool(+id))
            refreshTool(*tool);
    }
    // The diagram's popup flag is cleared here once the diagram exists.
}

void CView::ArrangeWindows(WindowArrangement arrangement)
{
    emit windowArrangementRequested(arrangement);
}

void CView::ShowHelpPage(const QString& path)
{
    emit helpPageRequested(path);
}

