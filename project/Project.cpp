#include "project/Project.h"

#include "base/ErrorLog.h"
#include "base/IProgressReporter.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CcUndo.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramPropertyOwner.h"
#include "edit/DiagramStore.h"
#include "edit/TreePropertyOwner.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionChange.h"
#include "model/CmDecisionManager.h"
#include "pictures/CcPictures.h"
#include "persist/ProjectNodes.h"
#include "persist/PropertyBag.h"
#include "persist/StorageNode.h"
#include "project/CModel.h"
#include "project/CvProject.h"
#include "project/CvProperties.h"
#include "project/ProjectViewNode.h"

namespace {

constexpr int ControlsCorruptId = 12011;
constexpr int LoadingDiagramId = 14002;
constexpr int LoadingDevDataId = 14005;
constexpr int LoadingSelectorsId = 14011;
constexpr int LoadingControlsId = 14012;
constexpr int LoadingPicturesId = 14014;

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

QStringList childNames(const StorageDocument& storage, const QString& path)
{
    StorageNode node = storage.rootNode();
    QStringList names;
    bool found = false;
    if (node.exists(path, found) && found && node.open(path))
        node.children(names);
    return names;
}

} // namespace

Project::Project(IPrompt& prompt)
    : m_prompt(prompt), m_model(std::make_unique<CModel>()), m_explorer(std::make_unique<CvProject>()),
      m_properties(std::make_unique<CvProperties>()),
      m_viewNode(std::make_unique<ProjectViewNode>(*m_explorer, *m_properties))
{
    CmDocument& document = m_model->Document();
    document.setPrompt(&m_prompt);
    document.setBusyState(&m_busy);
    document.setModelWriter([this] { return WriteModel(); });
    m_model->Decisions().setPrompt(&m_prompt);
    m_diagramView = std::make_unique<CvDecisionTree>(m_model->Decisions(), m_prompt);
    m_tree = std::make_unique<CcDecisionTree>(*m_diagramView, m_prompt);
    m_edit = std::make_unique<CcEdit>(m_model->Decisions(), m_prompt);
    m_edit->setTree(m_tree.get());
    m_edit->setDocument(&document);
    m_pictures = std::make_unique<CcPictures>(document, m_model->Decisions(), m_prompt);
    m_pictures->setUndo(&m_edit->Undo());
    m_treeOwner = std::make_unique<TreePropertyOwner>(*m_tree);
    m_diagramOwner = std::make_unique<DiagramPropertyOwner>(Canvas());
    followChanges();
    m_model->Init();
}

Project::~Project()
{
    m_diagramOwner.reset();
    m_treeOwner.reset();
    m_pictures.reset();
    m_edit.reset();
    m_tree.reset();
    m_diagramView.reset();
    m_viewNode.reset();
    m_model.reset();
}

void Project::followChanges()
{
    CmDocument* document = &m_model->Document();
    const auto changed = [document] { document->MarkChanged(); };
    // Every change of the decisions, whoever makes it (an editor, a rename's reference updates,
    // an undo), and every change of the diagram moves the one revision on.
    CmDecisionManager* decisions = &m_model->Decisions();
    QObject::connect(decisions, &CmDecisionManager::decisionAdded, document, changed);
    QObject::connect(decisions, &CmDecisionManager::decisionRemoved, document, changed);
    QObject::connect(decisions, &CmDecisionManager::decisionRenamed, document, changed);
    QObject::connect(decisions, &CmDecisionManager::decisionChanged, document, changed);
    QObject::connect(m_diagramView.get(), &CvDecisionTree::diagramChanged, document, changed);
    QObject::connect(m_tree.get(), &CcDecisionTree::diagramChanged, document, changed);
    followPictures();
    // The explorer shows the project under the document's name, and stores it so.
    CvProject* explorer = m_explorer.get();
    QObject::connect(document, &CmDocument::nameChanged, explorer,
                     [explorer](const QString& name) { explorer->RenameFile(name); });
    QObject::connect(decisions, &CmDecisionManager::loadProgress, document, [this](int percent) {
        reportStatus(LoadingControlsId);
        reportProgress(percent);
    });
    QObject::connect(document, &CmDocument::statusChanged, document, [this](const QString& text) {
        if (m_progress)
            m_progress->ReportStatus(text);
    });
    QObject::connect(document, &CmDocument::progressChanged, document, [this](int percent) { reportProgress(percent); });
}

void Project::followPictures()
{
    CvProject* explorer = m_explorer.get();
    // The explorer's list follows the picture commands and their undo alike; an import that
    // replaces a picture adds no second entry.
    const auto added = [explorer](const QString& name) {
        if (!explorer->Pictures().contains(name, Qt::CaseInsensitive))
            explorer->AddPicture(name);
    };
    const auto removed = [explorer](const QString& name) { explorer->RemovePicture(name); };
    const auto renamed = [explorer](const QString& oldName, const QString& newName) {
        explorer->RenamePicture(oldName, newName);
    };
    CcPictures* pictures = m_pictures.get();
    QObject::connect(pictures, &CcPictures::pictureAdded, explorer, added);
    QObject::connect(pictures, &CcPictures::pictureRemoved, explorer, removed);
    QObject::connect(pictures, &CcPictures::pictureRenamed, explorer, renamed);
    CcUndo* undo = &m_edit->Undo();
    QObject::connect(undo, &CcUndo::pictureAdded, explorer, added);
    QObject::connect(undo, &CcUndo::pictureRemoved, explorer, removed);
    QObject::connect(undo, &CcUndo::pictureRenamed, explorer, renamed);
}

PropertyOwners Project::Owners() const
{
    return {m_treeOwner.get(), m_diagramOwner.get()};
}

CmDecisionManager& Project::Decisions() const
{
    return m_model->Decisions();
}

CmDocument& Project::Document() const
{
    return m_model->Document();
}

CanvasModel& Project::Canvas() const
{
    return m_diagramView->Canvas();
}

int Project::ActiveForm() const
{
    return m_viewNode->ActiveForm();
}

void Project::setActiveForm(int form)
{
    m_viewNode->setActiveForm(form);
}

void Project::reportStatus(int textId)
{
    if (m_progress)
        m_progress->ReportStatus(textId ? LoadResString(textId) : QString());
}

void Project::reportProgress(int percent)
{
    if (m_progress)
        m_progress->ReportProgress(percent);
}

ClassInstance Project::IClassLookup_CreateClass(int classId)
{
    switch (classId) {
    case Project::ClassId: return ClassInstance::live(this);
    case CModel::ClassId: return ClassInstance::live(m_model.get());
    case ProjectViewNode::ClassId: return ClassInstance::live(m_viewNode.get());
    case CvProject::ClassId: return ClassInstance::live(m_explorer.get());
    case CvProperties::ClassId: return ClassInstance::live(m_properties.get());
    default: return m_model->CreateClass(classId);
    }
}

void Project::IClassPersistable_WriteProperties(PropertyBag& bag) const
{
    bag.WriteObject(QStringLiteral("Model"), *m_model);
    bag.WriteObject(QStringLiteral("View"), *m_viewNode);
}

void Project::IClassPersistable_ReadProperties(PropertyBag& bag)
{
    // Both are singletons: reading them fills the live objects through the lookup.
    for (const char* name : {"Model", "View"}) {
        ProcedureBoundary::run("CApplication.IClassPersistable_ReadProperties", [&] {
            bag.ReadObject(QLatin1String(name));
        });
    }
}

StorageResult Project::WriteModel()
{
    reportProgress(0);
    StorageDocument& storage = Document().Storage();
    StorageNode node = storage.rootNode();
    StorageResult result = openFresh(node, ProjectNodes::DevFile);
    if (result) {
        PropertyBag bag;
        bag.SetDocument(&storage);
        bag.WriteRoot(*this);
        reportProgress(50);
        result = bag.Refused() ? bag.Refusal() : bag.StoreInto(node);
    }
    if (result) {
        StorageNode layout = storage.rootNode();
        result = openFresh(layout, ProjectNodes::CustomBlock);
        if (result)
            result = layout.writeText(Canvas().LayoutText());
    }
    reportProgress(-1);
    reportStatus(0);
    ReportError(result, QStringLiteral("CApplication.SaveDevData"));
    return result;
}

StorageResult Project::ReadModel()
{
    PropertyBag bag;
    bag.SetClassLookup(this);
    bag.SetDocument(&Document().Storage());
    StorageNode node = Document().Storage().rootNode();
    StorageResult result = node.open(ProjectNodes::DevFile);
    if (result)
        result = bag.LoadFrom(node);
    reportStatus(LoadingDevDataId);
    if (result && !bag.ReadRoot(*this))
        result = StorageResult::failure(StorageErrorKind::Corrupt, LoadResString(ControlsCorruptId));
    else if (result && bag.Refused())
        result = bag.Refusal();
    reportProgress(-1);
    reportStatus(0);
    ReportError(result, QStringLiteral("CApplication.LoadDevData"));
    return result;
}

void Project::LoadExplorer()
{
    const StorageDocument& storage = Document().Storage();
    m_explorer->ClearLists();
    m_explorer->RenameFile(Document().Name());
    reportStatus(LoadingSelectorsId);
    for (const QString& name : childNames(storage, ProjectNodes::Databases)) {
        // "External" holds the external selectors, not a selector of its own.
        if (name.compare(QLatin1String("External"), Qt::CaseInsensitive) != 0)
            m_explorer->AddCriteriaList(name);
    }
    for (const QString& name : childNames(storage, ProjectNodes::ExternalDatabases))
        m_explorer->AddExternalCriteriaList(name);
    reportStatus(LoadingPicturesId);
    for (const QString& name : childNames(storage, ProjectNodes::Images))
        m_explorer->AddPicture(name);
    reportStatus(0);
}

void Project::LoadLayout()
{
    reportStatus(LoadingDiagramId);
    DiagramStore::Load(Document().Storage(), Canvas(), Decisions(), [this](const QString& status, int percent) {
        if (m_progress) {
            m_progress->ReportStatus(status);
            m_progress->ReportProgress(percent);
        }
    });
    reportProgress(-1);
    reportStatus(0);
}

void Project::Reset()
{
    Document().CloseDocument();
    Document().NewDocument();
    m_explorer->Clear();
    m_explorer->RenameFile(Document().Name());
    m_model->Clear();
    m_model->Init();
    m_edit->Undo().Clear();
    Document().setDirty(false);
}

StorageResult Project::readAfterOpen(const CmDocument::Result& opened, Diagram diagram)
{
    if (!opened.done())
        return opened.storage;
    if (diagram == Diagram::LeftOut)
        QObject::disconnect(&Decisions(), nullptr, &Canvas(), nullptr);
    m_model->Clear();
    StorageResult read;
    {
        const CanvasModel::Batch quietDiagram(Canvas());
        read = ReadModel();
    }
    if (!read) {
        // The file opened but its controls did not read: say that, not that the file is corrupt.
        if (read.kind != StorageErrorKind::Refused)
            read = StorageResult::failure(StorageErrorKind::Io, LoadResString(ControlsCorruptId));
        Document().CloseDocument();
        return read;
    }
    LoadExplorer();
    Document().setDirty(false);
    return read;
}

StorageResult Project::Inspect(const QString& path, Diagram diagram)
{
    return readAfterOpen(Document().InspectDocument(path), diagram);
}

StorageResult Project::Open(const QString& path)
{
    const StorageResult read = readAfterOpen(Document().OpenDocument(path));
    if (!read)
        return read;
    LoadLayout();
    m_edit->Undo().Clear();
    Document().setDirty(false);
    return read;
}

CmDocument::Result Project::Save()
{
    return Document().SaveFile();
}

CmDocument::Result Project::SaveAs(const QString& path, const QStringList& inputs)
{
    return Document().SaveFileAs(path, inputs);
}
