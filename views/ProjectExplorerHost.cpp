#include "views/ProjectExplorerHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "views/BandDock.h"
#include "views/frmProject.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>

namespace {
constexpr int CaptionId = 30238;
} // namespace

ProjectExplorerHost::ProjectExplorerHost(CApplication& application, QMainWindow& main) : m_application(application)
{
    QDockWidget* dock = AddBandDock(main, DockName, LoadResString(CaptionId), Qt::LeftDockWidgetArea);
    m_explorer = new frmProject(application.Model().Decisions(), dock);
    dock->setWidget(m_explorer);
    m_dock = dock;
    follow();
    m_explorer->showControls();
    m_explorer->showProjectLists(application.View().Project());
    m_explorer->showSelected(application.Model().Decisions().Selected());
}

ProjectExplorerHost::~ProjectExplorerHost()
{
    delete m_dock.data();
}

void ProjectExplorerHost::follow()
{
    frmProject* explorer = m_explorer;
    const CvProject* project = &m_application.View().Project();
    connect(project, &CvProject::changed, explorer, [explorer, project] { explorer->showProjectLists(*project); });
    connect(&m_application.Model().Document(), &CmDocument::opened, explorer, [this] {
        m_explorer->showControls();
        m_explorer->showSelected(m_application.Model().Decisions().Selected());
    });

    connect(explorer, &frmProject::controlSelected, this, &ProjectExplorerHost::select);
    connect(explorer, &frmProject::controlOpened, this, &ProjectExplorerHost::open);
    connect(explorer, &frmProject::selectorOpened, this, &ProjectExplorerHost::selectorRequested);
    connect(explorer, &frmProject::pictureOpened, this, &ProjectExplorerHost::pictureRequested);
    connect(explorer, &frmProject::selectorMenuRequested, this, &ProjectExplorerHost::popUp);
}

void ProjectExplorerHost::select(qint16 key)
{
    const CmDecisionItem* selected = m_application.Model().Decisions().Selected();
    if (!selected || selected->intID() != key)
        m_application.Controller().DecisionTree().SelectDecision(QVariant(key));
}

void ProjectExplorerHost::open(qint16 key)
{
    select(key);
    emit optionsRequested(key);
}

void ProjectExplorerHost::popUp(const QString& selector, const QPoint& globalPosition)
{
    if (!m_popup)
        return;
    m_application.View().Project().setActiveNode(selector);
    m_application.View().UpdateBand(QLatin1String(SelectorPopupBand));
    m_popup->popup(globalPosition);
}
