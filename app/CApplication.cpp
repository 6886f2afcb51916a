#include "app/CApplication.h"

#include "app/CController.h"
#include "app/CcFile.h"
#include "app/CModel.h"
#include "app/CView.h"
#include "app/CvProject.h"
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

CApplication::CApplication(IPrompt& prompt, IWindowHost& windows)
    : m_prompt(prompt), m_windows(windows),
      m_errorLogHook({[this](const QString& text) { m_errorLog.Append(text); }, [this] { return m_errorLog.Value(); }})
{
    m_controller = std::make_unique<CController>();
    m_view = std::make_unique<CView>(windows);
    m_model = std::make_unique<CModel>();
    m_controller->AttachModel(*m_model, prompt);
    connectDocument();
}

void CApplication::connectDocument()
{
    CmDocument& document = m_model->Document();
    document.setPrompt(&m_prompt);
    document.setBusyState(&m_busy);
    m_model->Decisions().setPrompt(&m_prompt);
    document.setModelWriter([this] { return SaveDevData(); });
    CView* view = m_view.get();
    QObject::connect(&document, &CmDocument::nameChanged, view,
                     [view](const QString& name) { view->Project().RenameFile(name); });
    QObject::connect(&document, &CmDocument::statusChanged, view, &CView::SetStatus);
    QObject::connect(&document, &CmDocument::progressChanged, view, &CView::SetProgress);
    connectPictures();
    CModel* model = m_model.get();
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

void CApplication::connectPictures()
{
    CvProject* project = &m_view->Project();
    // The explorer's list follows the picture commands and their undo alike; an import that
    // replaces a picture adds no second entry.
    const auto added = [project](const QString& name) {
        if (!project->Pictures().contains(name, Qt::CaseInsensitive))
            project->AddPicture(name);
    };
    const auto removed = [project](const QString& name) { project->RemovePicture(name); };
    const auto renamed = [project](const QString& oldName, const QString& newName) {
        project->RenamePicture(oldName, newName);
    };
    CcPictures* pictures = &m_controller->Pictures();
    QObject::connect(pictures, &CcPictures::pictureAdded, project, added);
    QObject::connect(pictures, &CcPictures::pictureRemoved, project, removed);
    QObject::connect(pictures, &CcPictures::pictureRenamed, project, renamed);
    CcUndo* undo = &m_controller->Edit().Undo();
    QObject::connect(undo, &CcUndo::pictureAdded, project, added);
    QObject::connect(undo, &CcUndo::pictureRemoved, project, removed);
    QObject::connect(undo, &CcUndo::pictureRenamed, project, renamed);
}

CApplication::~CApplication()
{
    while (!m_attached.empty())
        m_attached.pop_back();
    m_controller.reset();
    m_view.reset();
    m_model.reset();
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
        m_model->Init();
        m_view->HideProgressBar();
    });
    m_windows.CloseSplash();
}

ClassInstance CApplication::IClassLookup_CreateClass(int classId)
{
    switch (classId) {
    case CApplication::ClassId: return ClassInstance::live(this);
    case CModel::ClassId: return ClassInstance::live(m_model.get());
    case CView::ClassId: return ClassInstance::live(m_view.get());
    default: break;
    }
    if (ClassInstance modelClass = m_model->CreateClass(classId))
        return modelClass;
    return m_view->CreateClass(classId);
}

void CApplication::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteObject(QStringLiteral("Model"), *m_model);
    bag.WriteObject(QStringLiteral("View"), *m_view);
}

void CApplication::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    // Both are singletons: reading them fills the live objects through the lookup.
    for (const char* name : {"Model", "View"}) {
        ProcedureBoundary::run("CApplication.IClassPersistable_ReadProperties", [&] {
            bag.ReadObject(QLatin1String(name));
        });
    }
}

namespace {

constexpr int LoadingDevDataId = 14005;

// Opens a node with nothing left of an earlier save in it.
StorageResult openFresh(StorageNode& node, const QString& path)
{
    bool existed = false;
    StorageResult result = node.open(path, &existed);
    if (result && existed) {
        node.reset();
        result = node.remove(path);
        if (result)
            result = node.open(path);
    }
    return result;
}

} // namespace

StorageResult CApplication::SaveDevData()
{
    m_view->SetProgress(0);
    StorageNode node = m_model->Document().Storage().rootNode();
    StorageResult result = openFresh(node, ProjectNodes::DevFile);
    if (result) {
        PropertyBag bag;
        bag.SetDocument(&m_model->Document().Storage());
        bag.WriteRoot(*this);
        m_view->SetProgress(50);
        result = bag.Refused() ? bag.Refusal() : bag.StoreInto(node);
    }
    if (result) {
        StorageNode layout = m_model->Document().Storage().rootNode();
        result = openFresh(layout, ProjectNodes::CustomBlock);
        if (result)
            result = layout.writeText(m_controller->DiagramView().Canvas().LayoutText());
    }
    m_view->SetProgress(0);
    m_view->SetStatus(QString());
    ReportError(result, QStringLiteral("CApplication.SaveDevData"));
    return result;
}

StorageResult CApplication::LoadDevData()
{
    PropertyBag bag;
    bag.SetClassLookup(this);
    bag.SetDocument(&m_model->Document().Storage());
    StorageNode node = m_model->Document().Storage().rootNode();
    StorageResult result = node.open(ProjectNodes::DevFile);
    if (result)
        result = bag.LoadFrom(node);
    m_view->SetStatus(LoadResString(LoadingDevDataId));
    if (result && !bag.ReadRoot(*this))
        result = StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(12011));
    else if (result && bag.Refused())
        result = bag.Refusal();
    m_view->SetProgress(0);
    m_view->SetStatus(QString());
    ReportError(result, QStringLiteral("CApplication.LoadDevData"));
    return result;
}
