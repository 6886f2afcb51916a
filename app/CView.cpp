#include "app/CView.h"

#include "app/CvProject.h"
#include "app/CvProperties.h"
#include "app/ErrorLog.h"
#include "app/IWindowHost.h"
#include "app/MRegistry.h"
#include "app/ResourceStrings.h"
#include "app/ViewSettings.h"
#include "persist/PropertyBag.h"

#include <QCoreApplication>

namespace {
constexpr int ReadyTextId = 14000;
}

CView::CView(IWindowHost& windows)
    : m_windows(windows), m_status(LoadResString(ReadyTextId)), m_project(std::make_unique<CvProject>()),
      m_properties(std::make_unique<CvProperties>()), m_settings(std::make_unique<ViewSettings>())
{
}

CView::~CView() = default;

void CView::Init()
{
    MRegistry::LoadFromRegistry();
    SetStatus(QString());
}

void CView::Show()
{
    m_windows.ShowMainWindow();
}

void CView::SetStatus(const QString& text)
{
    m_status = text.isEmpty() ? LoadResString(ReadyTextId) : text;
    emit statusChanged(m_status);
    letPendingEventsRun();
}

void CView::SetProgress(int percent)
{
    m_progressVisible = percent >= 0;
    m_progress = qBound(0, percent, 100);
    emit progressChanged(m_progress, m_progressVisible);
    letPendingEventsRun();
}

void CView::HideProgressBar()
{
    SetProgress(-1);
}

void CView::ResizeStatusBar()
{
    emit statusBarResizeRequested();
}

void CView::letPendingEventsRun() const
{
    // Long operations report through here; let the window repaint and see user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

ClassInstance CView::CreateClass(int classId)
{
    switch (classId) {
    case CvProject::ClassId: return ClassInstance::live(m_project.get());
    case CvProperties::ClassId: return ClassInstance::live(m_properties.get());
    default: return {};
    }
}

void CView::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("ActiveForm"), m_activeForm, 0);
    bag.WriteObject(QStringLiteral("Project"), *m_project);
    bag.WriteObject(QStringLiteral("Properties"), *m_properties);
}

void CView::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    try {
        m_activeForm = bag.ReadProperty(QStringLiteral("ActiveForm"), 0).toInt();
        bag.ReadObject(QStringLiteral("Project"));
        bag.ReadObject(QStringLiteral("Properties"));
    } catch (const std::exception& error) {
        ReportError(error, QStringLiteral("CView.IClassPersistable_ReadProperties"));
    }
}
