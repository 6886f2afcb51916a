#include "app/CController.h"

#include "base/ProcedureBoundary.h"

#include "app/CApplication.h"
#include "app/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "base/ErrorLog.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramPropertyOwner.h"
#include "edit/TreePropertyOwner.h"
#include "model/CmDocument.h"
#include "pictures/CcPictures.h"
#include "spelling/SpellChecker.h"

CController::CController()
    : m_gettingStarted(std::make_unique<CcGettingStarted>()), m_file(std::make_unique<CcFile>())
{
}

CController::~CController()
{
    m_pictures.reset();
    m_edit.reset();
    m_diagramProperties.reset();
    m_treeProperties.reset();
    m_decisionTree.reset();
    m_diagramView.reset();
}

void CController::AttachModel(CModel& model, IPrompt& prompt)
{
    m_diagramView = std::make_unique<CvDecisionTree>(model.Decisions(), prompt);
    m_decisionTree = std::make_unique<CcDecisionTree>(*m_diagramView, prompt);
    m_treeProperties = std::make_unique<TreePropertyOwner>(*m_decisionTree);
    m_diagramProperties = std::make_unique<DiagramPropertyOwner>(m_diagramView->Canvas());
    CmDocument* document = &model.Document();
    QObject::connect(m_diagramView.get(), &CvDecisionTree::diagramChanged, document,
                     [document] { document->setDirty(true); });
    m_edit = std::make_unique<CcEdit>(model.Decisions(), prompt);
    m_edit->setTree(m_decisionTree.get());
    m_edit->setDocument(document);
    m_pictures = std::make_unique<CcPictures>(*document, model.Decisions(), prompt);
    m_pictures->setUndo(&m_edit->Undo());
}

SpellChecker& CController::Spelling()
{
    if (!m_spelling) {
        m_spelling = std::make_unique<SpellChecker>();
        m_spelling->LoadDefault();
    }
    return *m_spelling;
}

int CController::UndoCount() const
{
    return m_edit ? m_edit->Undo().UndoCount() : 0;
}

int CController::RedoCount() const
{
    return m_edit ? m_edit->Undo().RedoCount() : 0;
}

void CController::followUndo()
{
    if (!gApp || !m_edit)
        return;
    CView* view = &gApp->View();
    view->setUndoCounts(this);
    QObject::disconnect(&m_edit->Undo(), &CcUndo::countsChanged, view, nullptr);
    QObject::connect(&m_edit->Undo(), &CcUndo::countsChanged, view, [view] {
        view->UpdateBand(QStringLiteral("mnuEdit"));
        view->UpdateBand(QStringLiteral("barStandard"));
    });
}

void CController::Init()
{
    followUndo();
    m_file->setStartUp(true);
    ProcedureBoundary::run("CController.Init", [&] { m_file->FileNew(); });
    m_file->setStartUp(false);
}
