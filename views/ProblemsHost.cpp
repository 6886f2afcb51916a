#include "views/ProblemsHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CcFile.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "project/CModel.h"
#include "project/CvProject.h"
#include "selectors/CvCriteriaList.h"
#include "selectors/CvCriteriaListManager.h"
#include "validate/LiveValidation.h"
#include "views/BandDock.h"
#include "views/DiagramHost.h"
#include "views/DocumentArea.h"
#include "views/HeadingEditor.h"
#include "views/frmProperties.h"

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTreeView>

namespace {

constexpr int CaptionId = 34602;
constexpr int CountId = 34627;
constexpr int NoProblemsId = 34628;
constexpr int OptionsAndActionsLabelId = 11004;
constexpr int PageHeaderLabelId = 32750;
constexpr int FirstPropertyLabelId = 8001;
constexpr int LastPropertyLabelId = 8014;
constexpr int RefreshMs = 30;
constexpr int ValidatingId = 14018;

// The names in one list and not the other, either way, without regard to case.
QStringList changedNames(const QStringList& before, const QStringList& after)
{
    QStringList changed;
    for (const QString& name : before) {
        if (!after.contains(name, Qt::CaseInsensitive))
            changed.append(name);
    }
    for (const QString& name : after) {
        if (!before.contains(name, Qt::CaseInsensitive))
            changed.append(name);
    }
    return changed;
}

} // namespace

ProblemsHost::ProblemsHost(CApplication& application, QMainWindow& main, DiagramHost& diagram, DocumentArea& documents)
    : m_application(application), m_main(main), m_diagram(diagram),
      m_live(std::make_unique<LiveValidation>(application.Model().Decisions(), application.Model().Document()))
{
    QDockWidget* dock = AddBandDock(main, DockName, LoadResString(CaptionId), Qt::BottomDockWidgetArea);
    // A tab beside the log: the findings want the window's width, not half of it.
    if (auto* log = main.findChild<QDockWidget*>(QStringLiteral("barLog")))
        main.tabifyDockWidget(log, dock);
    m_window = new ProblemsWindow(dock);
    dock->setWidget(m_window);
    dock->hide();
    m_dock = dock;
    m_count = new QLabel(&main);
    m_count->setObjectName(QStringLiteral("problemsCount"));
    main.statusBar()->addPermanentWidget(m_count);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &ProblemsHost::refresh);
    m_pause.setSingleShot(true);
    m_pause.setInterval(PathPauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] {
        // A project being read or written lets timers run; checking half a tree then would
        // make every control read after it be checked one by one.
        if (m_application.IsBusy() || m_live->Checking()) {
            m_pause.start();
            return;
        }
        // Away from the typing; a change before it ends asks for another pause.
        m_live->StartCheck();
    });
    connect(m_live.get(), &LiveValidation::findingsChanged, &m_refresh, qOverload<>(&QTimer::start));
    // Every change restarts the wait, so the paths are followed once the typing pauses.
    connect(m_live.get(), &LiveValidation::pathsOutdated, &m_pause, qOverload<>(&QTimer::start));
    connect(m_live.get(), &LiveValidation::checkingChanged, this, &ProblemsHost::showCount);
    connect(m_live.get(), &LiveValidation::staleChanged, this, [this](bool stale) {
        if (stale)
            m_pause.start();
    });
    connect(m_window, &ProblemsWindow::targetChanged, this, &ProblemsHost::applyTarget);
    connect(m_window, &ProblemsWindow::rowActivated, this, &ProblemsHost::goTo);
    connect(m_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible)
            m_refresh.start();
    });
    CmDocument& document = application.Model().Document();
    // The project's file type decides the runtimes unless the author picked them.
    connect(&document, &CmDocument::revisionChanged, this, &ProblemsHost::applyTarget);
    connect(&document, &CmDocument::opened, this, &ProblemsHost::applyTarget);
    // The file type is read with the rest of the project, after the file opened.
    connect(&application.Controller().File(), &CcFile::projectChanged, this, &ProblemsHost::applyTarget);
    followExplorer();
    // A diagram window made later is marked once it shows.
    connect(&documents, &QMdiArea::subWindowActivated, this, [this] { showMarks(false); });
    applyTarget();
    m_pause.start();
    application.View().AddWindowTools(this);
}

ProblemsHost::~ProblemsHost()
{
    m_application.View().RemoveWindowTools(this);
    delete m_count.data();
    delete m_dock.data();
}

void ProblemsHost::followExplorer()
{
    const CvProject& explorer = m_application.View().Project();
    m_selectors = explorer.CriteriaLists() + explorer.ExternalCriteriaLists();
    m_pictures = explorer.Pictures();
    connect(&explorer, &CvProject::changed, this, [this] {
        const CvProject& project = m_application.View().Project();
        const QStringList selectors = project.CriteriaLists() + project.ExternalCriteriaLists();
        const QStringList pictures = project.Pictures();
        if (const QStringList changed = changedNames(m_selectors, selectors); !changed.isEmpty())
            m_live->SelectorsChanged(changed);
        if (const QStringList changed = changedNames(m_pictures, pictures); !changed.isEmpty())
            m_live->PicturesChanged(changed);
        m_selectors = selectors;
        m_pictures = pictures;
    });
}

void ProblemsHost::followSelectorGrids(const CvCriteriaListManager& grids)
{
    connect(&grids, &CvCriteriaListManager::editorAdded, this, [this](CvCriteriaList* grid) {
        // Saved: the table the checks read is the grid's now.
        connect(grid, &CvCriteriaList::dirtyChanged, this, [this, grid](bool dirty) {
            if (!dirty)
                m_live->SelectorsChanged({grid->Name()});
        });
    });
}

void ProblemsHost::applyTarget()
{
    bool web = true;
    bool desktop = true;
    switch (m_window->target()) {
    case ProblemsWindow::Target::FileType: {
        const qint32 fileType = m_application.Model().Document().FileType();
        web = fileType == 0 || fileType == 1;
        desktop = fileType != 1;
        break;
    }
    case ProblemsWindow::Target::Both: break;
    case ProblemsWindow::Target::Desktop: web = false; break;
    case ProblemsWindow::Target::Web: desktop = false; break;
    }
    m_live->setTargets(web, desktop);
}

QString ProblemsHost::countText() const
{
    return m_count ? m_count->text() : QString();
}

void ProblemsHost::showCount()
{
    QLabel* count = m_count.data();
    if (!count)
        return;
    const int errors = m_live->Errors();
    const int warnings = m_live->Warnings();
    if (m_live->Stale()) {
        // The whole tree is being checked away from the typing.
        count->setText(m_live->Checking() ? LoadResString(ValidatingId) : QString());
    } else {
        count->setText(errors + warnings == 0 ? LoadResString(NoProblemsId)
                                              : LoadResString(CountId).arg(errors).arg(warnings));
    }
    m_window->setEmptyText(count->text());
}

void ProblemsHost::refresh()
{
    showCount();
    // Thousands of rows are only worth building for a window that shows them.
    if (const QDockWidget* dock = m_dock.data(); dock && dock->isVisible()) {
        QList<ProblemsModel::Row> rows;
        for (const LiveValidation::Row& row : m_live->Rows())
            rows.append(ProblemsModel::rowOf(row));
        m_window->setRows(std::move(rows));
    }
    showMarks(false);
}

void ProblemsHost::showMarks(bool all)
{
    DiagramWindow* diagram = m_diagram.window();
    if (!diagram)
        return;
    const CmDecisionManager& decisions = m_application.Model().Decisions();
    const auto markOf = [this](const CmDecisionItem* item) {
        switch (item ? m_live->MarkOf(*item) : LiveValidation::Mark::None) {
        case LiveValidation::Mark::Error: return DiagramWindow::Mark::Error;
        case LiveValidation::Mark::Warning: return DiagramWindow::Mark::Warning;
        case LiveValidation::Mark::None: break;
        }
        return DiagramWindow::Mark::None;
    };
    const QSet<qint16> changed = m_live->TakeChangedNumbers();
    if (all || diagram != m_marked) {
        m_marked = diagram;
        for (int position = 1; position <= decisions.Count(); ++position) {
            const CmDecisionItem* item = decisions.ItemByIndex(position);
            diagram->setMark(item->intID(), markOf(item));
        }
    }
    for (const qint16 number : changed)
        diagram->setMark(number, markOf(decisions.Item(QVariant(int(number)))));
}

void ProblemsHost::checkTree()
{
    m_pause.stop();
    m_live->Check();
    m_application.View().ShowToolBar(QLatin1String(DockName));
    if (QDockWidget* dock = m_dock.data()) {
        dock->show();
        dock->raise();
    }
    refresh();
    m_window->view()->setFocus();
}

void ProblemsHost::settle()
{
    if (m_pause.isActive() || m_live->Checking() || m_live->Stale() || m_live->PathsStale()) {
        m_pause.stop();
        if (m_live->Stale())
            m_live->Check();
        else
            m_live->CheckPaths();
    }
    m_refresh.stop();
    refresh();
}

void ProblemsHost::goTo(const ProblemsModel::Row& row)
{
    const CmDecisionItem* item = row.number ? m_application.Model().Decisions().Item(QVariant(int(row.number))) : nullptr;
    if (!item)
        return;
    m_diagram.show();
    if (DiagramWindow* diagram = m_diagram.window())
        diagram->showControl(row.number);
    else
        m_application.Controller().DecisionTree().SelectDecision(QVariant(int(row.number)));
    if (row.property.startsWith(LoadResString(OptionsAndActionsLabelId))) {
        emit optionsLineRequested(row.number, row.line);
        return;
    }
    openProperty(row.property);
}

void ProblemsHost::openProperty(const QString& property)
{
    // "Input Interface=Slide": the label before any detail.
    const QString label = property.section(QLatin1Char('='), 0, 0).trimmed();
    auto* properties = m_main.findChild<frmProperties*>();
    if (!properties || label.isEmpty())
        return;
    m_application.View().ShowToolBar(QStringLiteral("barProperties"));
    if (auto* dock = m_main.findChild<QDockWidget*>(QStringLiteral("barProperties"))) {
        dock->show();
        dock->raise();
    }
    if (label == LoadResString(PageHeaderLabelId)) {
        if (QWidget* heading = properties->headingEditor())
            heading->setFocus();
        return;
    }
    for (int labelId = FirstPropertyLabelId; labelId <= LastPropertyLabelId; ++labelId) {
        if (LoadResString(labelId) != label)
            continue;
        if (QWidget* editor = properties->editor(labelId)) {
            editor->setFocus();
            return;
        }
    }
}

bool ProblemsHost::Handles(int id) const
{
    return id == +ToolId::CheckTree;
}

bool ProblemsHost::Allowed(int) const
{
    return true;
}

void ProblemsHost::Run(int)
{
    checkTree();
}
