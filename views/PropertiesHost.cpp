#include "views/PropertiesHost.h"

#include "project/Project.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "base/ResourceStrings.h"
#include "edit/CcEdit.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "views/BandDock.h"
#include "views/frmProperties.h"

#include <QDockWidget>
#include <QMainWindow>

namespace {
constexpr int CaptionId = 30239;
} // namespace

PropertiesHost::PropertiesHost(CApplication& application, QMainWindow& main)
    : m_application(application),
      m_sheet(application.Model().Decisions(), &application.Controller().Edit().Undo(), application.OpenProject().Owners())
{
    QDockWidget* dock = AddBandDock(main, DockName, LoadResString(CaptionId), Qt::RightDockWidgetArea);
    m_window = new frmProperties(m_sheet, application.Prompt(), dock);
    dock->setWidget(m_window);
    m_dock = dock;
    follow();
    followCanvas();
    showPictures();
    show(application.Model().Decisions().Selected());
}

PropertiesHost::~PropertiesHost()
{
    delete m_dock.data();
}

void PropertiesHost::follow()
{
    CmDecisionManager& decisions = m_application.Model().Decisions();
    connect(&decisions, &CmDecisionManager::selectedChanged, this, &PropertiesHost::show);
    connect(&decisions, &CmDecisionManager::decisionChanged, this, [this](CmDecisionItem* item) {
        if (item == m_window->decision())
            m_window->refresh();
    });
    // Another control's new name may be among the displayed ones.
    connect(&decisions, &CmDecisionManager::decisionRenamed, m_window, &frmProperties::refresh);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &PropertiesHost::removed);
    // The decisions are gone: nothing typed can be kept.
    connect(&decisions, &CmDecisionManager::cleared, m_window, [this] { m_window->showDecision(nullptr); });
    CmDocument& document = m_application.Model().Document();
    connect(&document, &CmDocument::opened, this, [this] { show(m_application.Model().Decisions().Selected()); });
    // A save, and every command (Undo above all), takes the typing with it.
    connect(&document, &CmDocument::aboutToSave, m_window, &frmProperties::commitPending);
    connect(&m_application.View(), &CView::toolAboutToRun, m_window, &frmProperties::commitPending);
    connect(&m_application.View().Project(), &CvProject::changed, this, &PropertiesHost::showPictures);
}

void PropertiesHost::followCanvas()
{
    CanvasModel& canvas = m_application.Controller().DiagramView().Canvas();
    connect(&canvas, &CanvasModel::entityChanged, this, [this](qint16 key) {
        const CmDecisionItem* shown = m_window->decision();
        if (shown && shown->intID() == key)
            m_window->refresh();
    });
    // The boxes took another size, or the whole diagram was read.
    for (auto signal : {&CanvasModel::linksReset, &CanvasModel::reset})
        connect(&canvas, signal, m_window, &frmProperties::refresh);
}

void PropertiesHost::show(CmDecisionItem* decision)
{
    if (decision == m_window->decision())
        return;
    m_window->commitPending();
    m_window->showDecision(decision);
}

void PropertiesHost::removed(CmDecisionItem* item)
{
    if (item == m_window->decision())
        m_window->showDecision(nullptr);
    else
        m_window->refresh();
}

void PropertiesHost::showPictures()
{
    m_window->setPictures(m_application.View().Project().Pictures());
}
