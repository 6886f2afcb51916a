#include "views/OutlineHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "views/BandDock.h"
#include "views/ControlOutline.h"

#include <QDockWidget>
#include <QMainWindow>

namespace {
constexpr int CaptionId = 34202;
} // namespace

OutlineHost::OutlineHost(CApplication& application, QMainWindow& main) : m_application(application)
{
    QDockWidget* dock = AddBandDock(main, DockName, LoadResString(CaptionId), Qt::LeftDockWidgetArea);
    m_outline = new ControlOutline(application.Model().Decisions(), dock);
    dock->setWidget(m_outline);
    dock->hide();
    m_dock = dock;

    connect(m_outline, &ControlOutline::controlChosen, this, [this](const CmDecisionItem* item) {
        m_application.Controller().DecisionTree().SelectDecision(QVariant(int(item->intID())));
    });
    connect(m_outline, &ControlOutline::controlOpened, this, [this](const CmDecisionItem* item) {
        m_application.Controller().DecisionTree().SelectDecision(QVariant(int(item->intID())));
        emit controlPropertiesRequested(item->intID());
    });
    application.View().AddWindowTools(this);
}

OutlineHost::~OutlineHost()
{
    m_application.View().RemoveWindowTools(this);
    delete m_dock.data();
}

bool OutlineHost::Handles(int id) const
{
    return id == +ToolId::GoToControl;
}

bool OutlineHost::Allowed(int) const
{
    return true;
}

void OutlineHost::Run(int)
{
    m_application.View().ShowToolBar(QLatin1String(DockName));
    m_dock->show();
    m_dock->raise();
    m_outline->focusFilter();
}
