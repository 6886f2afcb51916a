#include "app/CController.h"

#include "base/ProcedureBoundary.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CcGettingStarted.h"
#include "project/Project.h"
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
}

void CController::AttachProject(Project& project)
{
    m_project = &project;
}

DiagramPropertyOwner& CController::DiagramProperties() const
{
    return m_project->DiagramProperties();
}

CcDecisionTree& CController::DecisionTree() const
{
    return m_project->Tree();
}

CvDecisionTree& CController::DiagramView() const
{
    return m_project->DiagramView();
}

CcEdit& CController::Edit() const
{
    return m_project->Edit();
}

CcPictures& CController::Pictures() const
{
    return m_project->Pictures();
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
    return m_project ? m_project->Edit().Undo().UndoCount() : 0;
}

int CController::RedoCount() const
{
    return m_project ? m_project->Edit().Undo().RedoCount() : 0;
}

void CController::followUndo()
{
    if (!gApp || !m_project)
        return;
    CView* view = &gApp->View();
    view->setUndoCounts(this);
    QObject::disconnect(&m_project->Edit().Undo(), &CcUndo::countsChanged, view, nullptr);
    QObject::connect(&m_project->Edit().Undo(), &CcUndo::countsChanged, view, [view] {
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
