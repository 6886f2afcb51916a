#include "app/CApplication.h"

#include "base/IProgressReporter.h"
#include "project/Project.h"

#include "app/CController.h"
#include "app/CcFile.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "app/ViewSettings.h"
#include "edit/CcEdit.h"
#include "edit/CvDecisionTree.h"
#include "pictures/CcPictures.h"
#include "base/ErrorLog.h"
#include "app/IWindowHost.h"
#include "base/KvError.h"
#include "base/ProcedureBoundary.h"
#include "persist/ProjectNodes.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/PropertyBag.h"
#include "persist/StorageNode.h"

#include <QObject>

std::unique_ptr<CApplication> gApp;

namespace {

// The Designer's progress: the status bar and its bar, painted while the work runs.
class ViewProgress final : public IProgressReporter {
public:
    explicit ViewProgress(CView& view) : m_view(view) {}
    void ReportStatus(const QString& text) override { m_view.SetStatus(text); }
    void ReportProgress(int percent) override { m_view.SetProgress(percent); }

private:
    CView& m_view;
};

} // namespace

CApplication::CApplication(IPrompt& prompt, IWindowHost& windows)
    : m_prompt(prompt), m_windows(windows),
      m_errorLogHook({[this](const QString& text) { m_errorLog.Append(text); }, [this] { return m_errorLog.Value(); }})
{
    m_project = std::make_unique<Project>(prompt);
    m_controller = std::make_unique<CController>();
    m_view = std::make_unique<CView>(windows, m_project->Explorer());
    m_progress = std::make_unique<ViewProgress>(*m_view);
    m_project->setProgressReporter(m_progress.get());
    m_controller->AttachProject(*m_project);
    connectDocument();
}

CModel& CApplication::Model() const
{
    return m_project->Model();
}

BusyState& CApplication::Busy()
{
    return m_project->Busy();
}

bool CApplication::IsBusy() const
{
    return m_project->Busy().busy();
}

void CApplication::connectDocument()
{
    CmDocument& document = m_project->Document();
    CView* view = m_view.get();
    CModel* model = &m_project->Model();
    // Keys and clicks made while the project was busy, and not yet seen, are refused as it ends.
    QObject::connect(&m_project->Busy(), &BusyState::busyChanged, view, [view](bool busy) {
        if (!busy)
            view->RefusePendingInput();
    });
    QObject::connect(&document, &CmDocument::opened, view, [model] { model->Clear(); });
    // A project opened or made new shows its diagram, once the open has read the whole project.
    const auto showDiagram = [view] {
        if (!view->Settings().Editing.StartDTEditorOnOpen)
            return;
        QMetaObject::invokeMethod(
            view, [view] { view->RequestWindow(QLatin1String(CView::DiagramWindowName)); }, Qt::QueuedConnection);
    };
    QObject::connect(&document, &CmDocument::opened, view, showDiagram);
    QObject::connect(&m_controller->File(), &CcFile::projectCreated, view, showDiagram);
}

CApplication::~CApplication()
{
    while (!m_attached.empty())
        m_attached.pop_back();
    m_project->setProgressReporter(nullptr);
    m_controller.reset();
    m_view.reset();
    m_progress.reset();
    m_project.reset();
}

void CApplication::Attach(std::unique_ptr<QObject> part)
{
    m_attached.push_back(std::move(part));
}

void CApplication::Init()
{
    ProcedureBoundary::run("CApplication.Init", [&] {
        m_controller->Init();
        m_view->Init();
        m_view->HideProgressBar();
    });
    m_windows.CloseSplash();
}

