#pragma once

#include "base/BusyState.h"
#include "base/StorageResult.h"
#include "model/CmDocument.h"
#include "model/IDecisionPropertyOwner.h"
#include "persist/IClassLookup.h"
#include "persist/IClassPersistable.h"

#include <memory>

class CanvasModel;
class CcDecisionTree;
class CcEdit;
class CcPictures;
class CmDecisionManager;
class CModel;
class CvDecisionTree;
class CvProject;
class DiagramPropertyOwner;
class TreePropertyOwner;
class CvProperties;
class IProgressReporter;
class IPrompt;
class ProjectViewNode;

// One project with everything that belongs to it: the document, the decisions, the explorer's
// lists of selectors and pictures, the diagram's layout, the undo history and the edit commands
// over them. It opens and saves a project file by itself, so the command line, the benchmark,
// the tests and the Designer all work through it; the Designer's application holds one.
// Every change of any part moves the document's one revision on (CmDocument::Revision).
class Project final : public IClassLookup, public IClassPersistable {
public:
    static constexpr int ClassId = 1;

    explicit Project(IPrompt& prompt);
    ~Project() override;
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    CModel& Model() const { return *m_model; }
    CmDecisionManager& Decisions() const;
    CmDocument& Document() const;
    CvProject& Explorer() const { return *m_explorer; }
    CvProperties& Properties() const { return *m_properties; }
    CvDecisionTree& DiagramView() const { return *m_diagramView; }
    CanvasModel& Canvas() const;
    CcDecisionTree& Tree() const { return *m_tree; }
    CcEdit& Edit() const { return *m_edit; }
    CcPictures& Pictures() const { return *m_pictures; }
    // Who owns the ID and name (the tree editing) and the top, left and size (the diagram).
    PropertyOwners Owners() const;
    DiagramPropertyOwner& DiagramProperties() const { return *m_diagramOwner; }
    IPrompt& Prompt() const { return m_prompt; }
    BusyState& Busy() { return m_busy; }
    int ActiveForm() const;
    void setActiveForm(int form);

    // Null reports nowhere.
    void setProgressReporter(IProgressReporter* reporter) { m_progress = reporter; }

    // The whole model into the open storage document, and back. Reading fails with Refused
    // when the file holds what may not be loaded (the message says what).
    StorageResult WriteModel();
    StorageResult ReadModel();
    // The explorer's lists from the selectors and pictures the storage holds.
    void LoadExplorer();
    // The diagram's layout from the storage; controls it does not place are laid out.
    void LoadLayout();
    // Nothing left of the previous project: no decisions, empty lists, a new storage document.
    void Reset();

    // Whole operations for a front end without windows. The document keeps no working copy
    // unless told to. Inspect only reads; Open reads for a change, with the layout. A command
    // that never draws may leave the diagram out: it then stays empty and no longer follows
    // the controls, which saves making a box for each.
    enum class Diagram { Followed, LeftOut };
    StorageResult Inspect(const QString& path, Diagram diagram = Diagram::Followed);
    StorageResult Open(const QString& path);
    CmDocument::Result Save();
    CmDocument::Result SaveAs(const QString& path, const QStringList& inputs = {});

    ClassInstance IClassLookup_CreateClass(int classId) override;
    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

private:
    void followChanges();
    void followPictures();
    void reportStatus(int textId);
    void reportProgress(int percent);
    StorageResult readAfterOpen(const CmDocument::Result& opened, Diagram diagram = Diagram::Followed);

    IPrompt& m_prompt;
    BusyState m_busy;
    IProgressReporter* m_progress = nullptr;
    std::unique_ptr<CModel> m_model;
    std::unique_ptr<CvProject> m_explorer;
    std::unique_ptr<CvProperties> m_properties;
    std::unique_ptr<ProjectViewNode> m_viewNode;
    std::unique_ptr<CvDecisionTree> m_diagramView;
    std::unique_ptr<CcDecisionTree> m_tree;
    std::unique_ptr<CcEdit> m_edit;
    std::unique_ptr<CcPictures> m_pictures;
    std::unique_ptr<TreePropertyOwner> m_treeOwner;
    std::unique_ptr<DiagramPropertyOwner> m_diagramOwner;
};
