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
class Project;

// The command controllers. The undo history's counts enable Undo and Redo.
class CController : public IUndoCounts {
public:
    CController();
    ~CController() override;
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    CcFile& File() const { return *m_file; }
    CcGettingStarted& GettingStarted() const { return *m_gettingStarted; }
    // The edit commands of the project the application holds.
    void AttachProject(Project& project);
    CcDecisionTree& DecisionTree() const;
    CvDecisionTree& DiagramView() const;
    // Owns the boxes' top, left and size among a control's properties.
    DiagramPropertyOwner& DiagramProperties() const;
    // The edit commands with the project's undo history, made with the diagram.
    CcEdit& Edit() const;
    // The picture commands over the model's document, recording in the edit history.
    CcPictures& Pictures() const;
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
    Project* m_project = nullptr;
    std::unique_ptr<SpellChecker> m_spelling;
};
