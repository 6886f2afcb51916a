#pragma once

#include <memory>

class CModel;
class CcDecisionTree;
class CcFile;
class CcGettingStarted;
class CvDecisionTree;
class IPrompt;

// The command controllers. More arrive with the editing, selector and picture commands.
class CController {
public:
    CController();
    ~CController();
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    CcFile& File() const { return *m_file; }
    CcGettingStarted& GettingStarted() const { return *m_gettingStarted; }
    // The diagram over the model's decisions, made once the model exists; its changes mark the
    // document changed.
    void AttachModel(CModel& model, IPrompt& prompt);
    CcDecisionTree& DecisionTree() const { return *m_decisionTree; }
    CvDecisionTree& DiagramView() const { return *m_diagramView; }

    // Creates the empty document silently, before the main window shows.
    void Init();

private:
    std::unique_ptr<CcGettingStarted> m_gettingStarted;
    std::unique_ptr<CcFile> m_file;
    std::unique_ptr<CvDecisionTree> m_diagramView;
    std::unique_ptr<CcDecisionTree> m_decisionTree;
};
