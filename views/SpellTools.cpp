#include "views/SpellTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "spelling/SpellCheckSession.h"
#include "spelling/SpellChecker.h"
#include "views/SpellCheckDialog.h"

namespace {

constexpr int ProgramNameId = 30000;
constexpr int NothingFoundId = 33800;
constexpr int CompleteId = 33801;

} // namespace

SpellTools::SpellTools(CApplication& application, QWidget& parentWindow)
    : m_application(application), m_parent(parentWindow)
{
    application.View().AddWindowTools(this);
}

SpellTools::~SpellTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool SpellTools::Handles(int id) const
{
    return id == +ToolId::SpellCheck || id == +ToolId::SpellCheckSelected;
}

bool SpellTools::Allowed(int id) const
{
    const CmDecisionManager& decisions = m_application.Model().Decisions();
    return id == +ToolId::SpellCheck ? decisions.Count() > 0 : decisions.Selected() != nullptr;
}

void SpellTools::message(const QString& text, bool warning)
{
    m_application.Prompt().MessageBox(text, LoadResString(ProgramNameId), PromptButtons::Ok,
                                      warning ? PromptIcon::Exclamation : PromptIcon::Information);
}

void SpellTools::Run(int id)
{
    SpellChecker& checker = m_application.Controller().Spelling();
    if (!checker.IsLoaded()) {
        message(checker.Problem(), true);
        return;
    }
    CmDecisionManager& decisions = m_application.Model().Decisions();
    QList<qint16> controls;
    if (id == +ToolId::SpellCheckSelected) {
        if (!decisions.Selected())
            return;
        controls.append(decisions.Selected()->intID());
    }
    SpellCheckSession session(decisions, checker, controls);
    if (!session.Next()) {
        message(LoadResString(NothingFoundId), false);
        return;
    }
    SpellCheckDialog dialog(session, checker, decisions, &m_parent);
    dialog.exec();
    if (dialog.finished())
        message(LoadResString(CompleteId).arg(session.Replaced()), false);
}
