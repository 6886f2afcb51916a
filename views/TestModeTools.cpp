#include "views/TestModeTools.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/AccessKey.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "views/PlayerSelectorPanel.h"
#include "views/PlayerWindow.h"
#include "views/frmDecisionValue.h"
#include "views/frmTestMode.h"
#include "views/frmTestModeOptions.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QTableView>

namespace {
constexpr int ProgramNameId = 30000;
constexpr int DecisionValuesCaptionId = 30241;
constexpr int SelectorValuesCaptionId = 30242;
const QString DecisionValuesBand = QStringLiteral("barDecisionValues");
const QString SelectorValuesBand = QStringLiteral("barCLValues");
} // namespace

TestModeTools::TestModeTools(CApplication& application, QMainWindow& mainWindow)
    : m_application(application), m_mainWindow(mainWindow),
      m_test(application.Model().Decisions(), application.Model().Document(), application.View().Settings().TestMode)
{
    m_test.setHost(this);
    m_valuesDock = new QDockWidget(LoadResPlainString(DecisionValuesCaptionId), &mainWindow);
    m_valuesDock->setObjectName(DecisionValuesBand);
    m_valuesTable = new QTableView(m_valuesDock);
    m_valuesTable->setModel(&m_test.DecisionValues());
    m_valuesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_valuesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_valuesTable->horizontalHeader()->setStretchLastSection(true);
    m_valuesTable->verticalHeader()->hide();
    m_valuesDock->setWidget(m_valuesTable);
    m_selectorsDock = new QDockWidget(LoadResPlainString(SelectorValuesCaptionId), &mainWindow);
    m_selectorsDock->setObjectName(SelectorValuesBand);
    for (QDockWidget* dock : {m_valuesDock.data(), m_selectorsDock.data()}) {
        mainWindow.addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->hide();
    }
    connect(&m_test, &CcDecisionTest::currentControlChanged, this, &TestModeTools::showCurrentControl);
    // Run From This Control follows the selection.
    connect(&application.Model().Decisions(), &CmDecisionManager::selectedChanged, this,
            [this] { m_application.View().UpdateAllBands(); });
    // Names stay as the running tree knows them.
    application.Controller().DecisionTree().setTestRunning([this] { return m_test.Running(); });
    application.View().AddWindowTools(this);
}

TestModeTools::~TestModeTools()
{
    m_application.View().RemoveWindowTools(this);
    m_application.Controller().DecisionTree().setTestRunning({});
    m_test.setHost(nullptr);
    // The windows show what the runner holds; they go before it.
    m_player.reset();
    delete m_selectorPanel.data();
    delete m_valuesDock.data();
    delete m_selectorsDock.data();
}

bool TestModeTools::Handles(int id) const
{
    using T = ToolId;
    return id == +T::Run || id == +T::Stop || id == +T::RunFromControl || id == +T::TestOptions;
}

bool TestModeTools::Allowed(int id) const
{
    switch (static_cast<ToolId>(id)) {
    case ToolId::Stop: return m_test.Running();
    case ToolId::TestOptions: return true;
    case ToolId::RunFromControl: return !m_test.Running() && m_application.Model().Decisions().Selected();
    default: return !m_test.Running();
    }
}

void TestModeTools::Run(int id)
{
    switch (static_cast<ToolId>(id)) {
    case ToolId::Stop: m_test.StopWizard(); return;
    case ToolId::Run: m_test.Run(); return;
    case ToolId::RunFromControl:
        if (const CmDecisionItem* selected = m_application.Model().Decisions().Selected())
            m_test.RunFrom(selected->strID());
        return;
    case ToolId::TestOptions: showOptions(); return;
    default: return;
    }
}

void TestModeTools::StopRunning()
{
    if (m_test.Running())
        m_test.StopWizard();
}

void TestModeTools::showOptions()
{
    TestModeOptions& kept = m_application.View().Settings().TestMode;
    frmTestModeOptions dialog(kept, m_test.ControlNames(), [this, &kept](const TestModeOptions& chosen) {
        kept = chosen;
        // The debug windows of a running test follow at once.
        if (m_test.Running())
            ShowDebugWindows(chosen.ShowDecisionValues, chosen.ShowCLValues);
    }, &m_mainWindow);
    dialog.exec();
}

void TestModeTools::AddLog(const QString& line)
{
    m_application.View().AddLog(line);
}

void TestModeTools::Message(const QString& text)
{
    m_application.Prompt().MessageBox(text, LoadResString(ProgramNameId), PromptButtons::Ok, PromptIcon::Exclamation);
}

void TestModeTools::SetStatus(const QString& text)
{
    m_application.View().SetStatus(text);
}

void TestModeTools::HideProgressBar()
{
    m_application.View().HideProgressBar();
}

void TestModeTools::SaveProjectAs()
{
    m_application.Controller().File().FileSaveAs();
}

bool TestModeTools::TestModeDialog(TestModeOptions& options, const QStringList& controlNames)
{
    frmTestMode dialog(options, controlNames, &m_mainWindow);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

std::optional<QString> TestModeTools::AskValue(const CmDecisionItem& control)
{
    frmDecisionValue dialog(control, m_player ? static_cast<QWidget*>(m_player.get()) : &m_mainWindow);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.value();
}

qint16 TestModeTools::SelectedControl() const
{
    const CmDecisionItem* selected = m_application.Model().Decisions().Selected();
    return selected ? selected->intID() : qint16(0);
}

void TestModeTools::SelectControl(qint16 intID)
{
    m_application.Controller().DecisionTree().SelectDecision(QVariant(int(intID)));
}

IRuntimeHost* TestModeTools::OpenRuntimeWindow(RuntimeEngine& engine, const CompiledTree& tree)
{
    m_player = PlayerWindow::following(engine, tree, m_application.Model().Document().Name());
    delete m_selectorPanel.data();
    m_selectorPanel = new PlayerSelectorPanel(engine, m_selectorsDock);
    m_selectorsDock->setWidget(m_selectorPanel);
    return m_player.get();
}

void TestModeTools::CloseRuntimeWindow()
{
    m_player.reset();
    delete m_selectorPanel.data();
}

void TestModeTools::ShowDebugWindows(bool decisionValues, bool selectorValues)
{
    CView& view = m_application.View();
    decisionValues ? view.ShowToolBar(DecisionValuesBand) : view.HideToolBar(DecisionValuesBand);
    selectorValues ? view.ShowToolBar(SelectorValuesBand) : view.HideToolBar(SelectorValuesBand);
}

void TestModeTools::RunningChanged(bool)
{
    m_application.View().UpdateAllBands();
}

void TestModeTools::showCurrentControl(const QString& control)
{
    const int row = m_test.DecisionValues().rowOf(control);
    if (row >= 0)
        m_valuesTable->selectRow(row);
    refreshSelectors();
    if (m_player) {
        m_player->raise();
        m_player->activateWindow();
    }
}

void TestModeTools::refreshSelectors()
{
    if (m_selectorPanel)
        m_selectorPanel->refresh();
}
