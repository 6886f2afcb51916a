#include "views/OptionsEditorHost.h"

#include "app/CApplication.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/ExpressionBuilder.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"
#include "views/BandDock.h"
#include "views/ExpressionBuilderLauncher.h"
#include "views/OptionsEditor.h"
#include "views/ProjectSelectorCatalog.h"
#include "views/StatementPanel.h"

#include <QDockWidget>
#include <QMainWindow>

namespace {
constexpr int captionId = 33551;
} // namespace

OptionsEditorHost::OptionsEditorHost(CApplication& application, QMainWindow& main)
    : m_application(application), m_session(application.Model().Decisions())
{
    QDockWidget* dock = AddBandDock(main, DockName, LoadResString(captionId), Qt::RightDockWidgetArea);
    m_editor = new OptionsEditor(m_session, dock);
    dock->setWidget(m_editor);
    m_dock = dock;
    m_editor->statement()->setBuilder([this](const QString& expression, bool isBoolean, const QString& itemSelector) {
        return ExpressionBuilderLauncher::Edit(m_application, m_dock, expression, isBoolean, itemSelector);
    });

    CmDecisionManager& decisions = application.Model().Decisions();
    connect(&decisions, &CmDecisionManager::selectedChanged, this, &OptionsEditorHost::open);
    m_names.setSingleShot(true);
    m_names.setInterval(0);
    connect(&m_names, &QTimer::timeout, this, &OptionsEditorHost::showNames);
    for (auto signal : {&CmDecisionManager::decisionAdded, &CmDecisionManager::decisionRemoved})
        connect(&decisions, signal, this, &OptionsEditorHost::namesChanged);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this, &OptionsEditorHost::namesChanged);
    CmDocument& document = application.Model().Document();
    // A save, and every command (Undo above all), takes the text being typed with it.
    connect(&document, &CmDocument::aboutToSave, m_editor, &OptionsEditor::applyText);
    connect(&application.View(), &CView::toolAboutToRun, m_editor, &OptionsEditor::applyText);
    connect(&document, &CmDocument::opened, this, [this] {
        open(m_application.Model().Decisions().Selected());
        selectorsChanged();
    });
    connect(&application.View().Project(), &CvProject::changed, this, &OptionsEditorHost::selectorsChanged);
    connect(dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            showNames();
    });
    application.View().AddWindowTools(this);
    open(decisions.Selected());
}

OptionsEditorHost::~OptionsEditorHost()
{
    m_application.View().RemoveWindowTools(this);
    delete m_dock.data();
}

void OptionsEditorHost::open(CmDecisionItem* decision)
{
    if (decision == m_session.Decision())
        return;
    m_editor->applyText();
    readCatalog();
    m_session.Open(decision);
    showNames();
}

void OptionsEditorHost::readCatalog()
{
    // The document's storage is read afresh: another project may have been opened.
    m_session.setSelectorCatalog(nullptr);
    m_catalog = std::make_unique<ProjectSelectorCatalog>(m_application.View().Project(),
                                                         m_application.Model().Document().Storage().rootNode());
    m_session.setSelectorCatalog(m_catalog.get());
}

void OptionsEditorHost::selectorsChanged()
{
    CmDecisionItem* decision = m_session.Decision();
    if (!decision) {
        showNames();
        return;
    }
    // Opened again on the same line: the session checks when it loads.
    m_editor->applyText();
    const int line = m_session.SelectedLine();
    m_session.Open(nullptr);
    readCatalog();
    m_session.Open(decision);
    m_session.SelectLine(line);
    showNames();
}

void OptionsEditorHost::showNames()
{
    m_editor->statement()->setControlNames(ExpressionBuilder::ControlNames(m_application.Model().Decisions()));
    const CvProject& project = m_application.View().Project();
    const QStringList selectors = project.CriteriaLists() + project.ExternalCriteriaLists();
    m_editor->statement()->setSelectorNames(selectors);
    // The options of a list filled from selectors are selector names.
    const CmDecisionItem* decision = m_session.Decision();
    const bool selectorList = decision && (decision->intControl() == MDecisionDataUtil::dList
                                           || decision->intControl() == MDecisionDataUtil::dCombo);
    m_editor->statement()->setOptionChoices(selectorList ? selectors : QStringList());
}

void OptionsEditorHost::namesChanged()
{
    // Read once: the optimiser cannot tell that two reads of a guarded pointer agree.
    if (const QDockWidget* dock = m_dock; dock != nullptr && dock->isVisible())
        m_names.start();
}

void OptionsEditorHost::showDock()
{
    m_application.View().ShowToolBar(QLatin1String(DockName));
    m_dock->show();
    m_dock->raise();
}

void OptionsEditorHost::bringForward()
{
    showDock();
    m_editor->focusTree();
}

void OptionsEditorHost::showControl(qint16 key)
{
    showLine(key, -1);
}

void OptionsEditorHost::showLine(qint16 key, int line)
{
    CmDecisionItem* decision = m_application.Model().Decisions().Item(QVariant(QString::number(key)));
    if (!decision)
        return;
    open(decision);
    if (line < 0) {
        bringForward();
        return;
    }
    showDock();
    m_editor->selectLine(line);
}

bool OptionsEditorHost::Handles(int id) const
{
    return id == +ToolId::EditOptionsAndActions;
}

bool OptionsEditorHost::Allowed(int) const
{
    return m_application.Model().Decisions().Selected() != nullptr;
}

void OptionsEditorHost::Run(int)
{
    open(m_application.Model().Decisions().Selected());
    bringForward();
}
