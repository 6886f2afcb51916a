#pragma once

#include "app/IUndoCounts.h"

#include <memory>

class CModel;
class CcEdit;
class CcDecisionTree;
class CcFile;
class CcGettingStarted;
class CcPictures;
class SpellChecker;
class CvDecisionTree;
class DiagramPropertyOwner;
class TreePropertyOwner;
class IPrompt;

// The command controllers. The undo history's counts enable Undo and Redo.
class CController : public IUndoCounts {
public:
    CController();
    ~CController() override;
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    CcFile& File() const { return *m_file; }
    CcGettingStarted& GettingStarted() const { return *m_gettingStarted; }
    // The diagram over the model's decisions, made once the model exists; its changes mark the
    // document changed.
    void AttachModel(CModel& model, IPrompt& prompt);
    CcDecisionTree& DecisionTree() const { return *m_decisionTree; }
    CvDecisionTree& DiagramView() const { return *m_diagramView; }
    // Owns the boxes' top, left and size among a control's properties.
    DiagramPropertyOwner& DiagramProperties() const { return *m_diagramProperties; }
    // The edit commands with the project's undo history, made with the diagram.
    CcEdit& Edit() const { return *m_edit; }
    // The picture commands over the model's document, recording in the edit history.
    CcPictures& Pictures() const { return *m_pictures; }
    // The spell checker with the desktop's dictionary, loaded when first asked for; without a
    // dictionary it says why.
    SpellChecker& Spelling();

    int UndoCount() const override;
    int RedoCount() const override;

    // Creates the empty document silently, before the main window shows.
    void Init();

private:
    // The view shows the history's counts once the application exists.
    void followUndo();

    std::unique_ptr<CcGettingStarted> m_gettingStarted;
    std::unique_ptr<CcFile> m_file;
    std::unique_ptr<CvDecisionTree> m_diagramView;
    std::unique_ptr<CcDecisionTree> m_decisionTree;
    std::unique_ptr<TreePropertyOwner> m_treeProperties;
    std::unique_ptr<DiagramPropertyOwner> m_diagramProperties;
    std::unique_ptr<CcEdit> m_edit;
    std::unique_ptr<CcPictures> m_pictures;
    std::unique_ptr<SpellChecker> m_spelling;
};
