#include "views/WizardTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/ViewSettings.h"
#include "app/ToolId.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDocument.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"
#include "selectors/SelectorStore.h"
#include "views/PlayerWindow.h"
#include "wizards/ActionWizard.h"
#include "wizards/ControlWizard.h"

#include <QTimer>

namespace {

constexpr int ProgramNameId = 30000;
constexpr int ControlWizardTitleId = 34000;
constexpr int ActionWizardTitleId = 34001;
constexpr int NotStartedId = 34002;
constexpr int NothingAddedId = 34003;
constexpr int ControlAddedId = 34004;
constexpr int ActionAddedId = 34005;
constexpr int RefusedOptionsId = 34006;

int titleId(int id)
{
    return id == +ToolId::ControlWizard ? ControlWizardTitleId : ActionWizardTitleId;
}

} // namespace

WizardTools::WizardTools(CApplication& application, QWidget& parentWindow, std::function<bool()> projectShown)
    : m_application(application), m_parent(parentWindow), m_projectShown(std::move(projectShown))
{
    application.View().AddWindowTools(this);
    // A wizard's answers belong to the project it was started on.
    connect(&application.Model().Document(), &CmDocument::opened, this, &WizardTools::stop);
    connect(&application.Controller().File(), &CcFile::projectCreated, this, [this] {
        stop();
        // Once the new project's windows are up.
        if (m_application.View().Settings().Editing.StartDecisionBuilderOnNew)
            QTimer::singleShot(0, this, [this] { Run(+ToolId::ControlWizard); });
    });
}

WizardTools::~WizardTools()
{
    m_application.View().RemoveWindowTools(this);
}

bool WizardTools::Handles(int id) const
{
    return id == +ToolId::ControlWizard || id == +ToolId::ActionWizard;
}

bool WizardTools::Allowed(int) const
{
    return m_projectShown();
}

void WizardTools::Run(int id)
{
    if (m_player && m_running == id && m_player->isVisible()) {
        m_player->raise();
        m_player->activateWindow();
        return;
    }
    start(id, {});
}

bool WizardTools::BringHoldingWindowForward()
{
    // Only the control wizard holds the other commands back; the action wizard runs beside them.
    if (!m_player || m_running != +ToolId::ControlWizard || !m_player->isVisible())
        return false;
    m_player->raise();
    m_player->activateWindow();
    return true;
}

void WizardTools::start(int id, const WizardTree::Answers& given)
{
    QString problem;
    std::unique_ptr<PlayerWindow> player = playerFor(id, given, problem);
    if (!player) {
        warn(LoadResString(NotStartedId).arg(LoadResString(titleId(id)), problem));
        return;
    }
    stop();
    m_player = std::move(player);
    m_running = id;
    m_player->setParent(&m_parent, Qt::Window);
    m_player->setWindowTitle(LoadResString(titleId(id)));
    m_player->hideSelectors();
    m_player->resize(760, 560);
    m_player->move(m_parent.geometry().center() - m_player->rect().center());
    // Queued: the answers go into the project once the engine has finished raising its events.
    connect(m_player.get(), &PlayerWindow::runEnded, this, &WizardTools::finished, Qt::QueuedConnection);
    m_player->show();
    m_player->start();
}

void WizardTools::stop()
{
    if (m_player)
        m_player.release()->deleteLater();
    m_running = 0;
}

std::unique_ptr<PlayerWindow> WizardTools::playerFor(int id, const WizardTree::Answers& given, QString& problem) const
{
    CmDocument& document = m_application.Model().Document();
    std::unique_ptr<WizardTree> wizard;
    if (id == +ToolId::ControlWizard) {
        wizard = ControlWizard::tree(problem);
    } else {
        const SelectorStore selectors(document.Storage());
        const CmDecisionManager& decisions = m_application.Model().Decisions();
        const QString current = decisions.Selected() ? decisions.Selected()->strID() : QString();
        wizard = ActionWizard::tree(decisions, selectors.Names() + selectors.ExternalNames(), current, problem);
    }
    if (!wizard)
        return nullptr;
    for (auto answer = given.cbegin(); answer != given.cend(); ++answer)
        wizard->setDefault(answer.key(), answer.value());
    CompiledTree tree;
    QString log;
    if (const StorageResult compiled = wizard->compile(tree, log); !compiled) {
        problem = compiled.message + QLatin1Char('\n') + log;
        return nullptr;
    }
    return PlayerWindow::create(tree, LoadResString(titleId(id)), problem);
}

void WizardTools::finished(int end)
{
    using RunEnd = RuntimeEngine::RunEnd;
    if (!m_player || (end != static_cast<int>(RunEnd::Done) && end != static_cast<int>(RunEnd::Finished)))
        return;
    const int id = m_running;
    const WizardTree::Answers answers = WizardTree::answersOf(m_player->engine());
    stop();
    // A project closed meanwhile has nothing to add to.
    if (!m_projectShown())
        return;
    const bool added = id == +ToolId::ControlWizard ? addControl(answers) : addAction(answers);
    // Told why not, the author goes through the wizard again with the answers given.
    if (!added)
        start(id, answers);
}

bool WizardTools::addControl(const WizardTree::Answers& answers)
{
    const ControlWizard::NewControl control = ControlWizard::read(answers);
    const QString problem = ControlWizard::problem(control, m_application.Model().Decisions());
    if (!problem.isEmpty()) {
        warn(LoadResString(NothingAddedId).arg(LoadResString(ControlWizardTitleId), problem));
        return false;
    }
    CController& controller = m_application.Controller();
    const CmDecisionItem* added =
        ControlWizard::add(control, controller.DecisionTree(), controller.Edit().Undo(),
                           controller.DiagramView().Canvas().LastMousePos());
    // Refused by the diagram, which has told why.
    if (!added)
        return true;
    m_application.View().AddLog(LoadResString(ControlAddedId).arg(added->strID()));
    if (!control.refused.isEmpty())
        warn(LoadResString(RefusedOptionsId).arg(control.refused.join(QLatin1String(", "))));
    return true;
}

bool WizardTools::addAction(const WizardTree::Answers& answers)
{
    CmDecisionManager& decisions = m_application.Model().Decisions();
    const ActionWizard::NewAction action = ActionWizard::read(answers, decisions);
    if (!action.problem.isEmpty() || !ActionWizard::add(action, decisions)) {
        warn(LoadResString(NothingAddedId).arg(LoadResString(ActionWizardTitleId), action.problem));
        return false;
    }
    m_application.View().AddLog(LoadResString(ActionAddedId).arg(action.control));
    return true;
}

void WizardTools::warn(const QString& text) const
{
    m_application.Prompt().MessageBox(text, LoadResString(ProgramNameId), PromptButtons::Ok,
                                      PromptIcon::Exclamation);
}
