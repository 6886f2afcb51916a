#include "app/CController.h"

#include "base/ProcedureBoundary.h"

#include "app/CModel.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "base/ErrorLog.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDocument.h"

CController::CController()
    : m_gettingStarted(std::make_unique<CcGettingStarted>()), m_file(std::make_unique<CcFile>())
{
}

CController::~CController()
{
    m_decisionTree.reset();
    m_diagramView.reset();
}

void CController::AttachModel(CModel& model, IPrompt& prompt)
{
    m_diagramView = std::make_unique<CvDecisionTree>(model.Decisions(), prompt);
    m_decisionTree = std::make_unique<CcDecisionTree>(*m_diagramView, prompt);
    CmDocument* document = &model.Document();
    QObject::connect(m_diagramView.get(), &CvDecisionTree::diagramChanged, document,
                     [document] { document->setDirty(true); });
}

void CController::Init()
{
    m_file->setStartUp(true);
    ProcedureBoundary::run("CController.Init", [&] { m_file->FileNew(); });
    m_file->setStartUp(false);
}
