#include "views/MainWindow.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CcGettingStarted.h"
#include "app/CommandBand.h"
#include "base/ErrorLog.h"
#include "app/MStartUp.h"
#include "base/ResourceStrings.h"
#include "model/CmDocument.h"
#include "views/CommandBars.h"
#include "views/CompareTools.h"
#include "views/DiagramHost.h"
#include "views/DockFirstHeight.h"
#include "views/DocumentArea.h"
#include "views/JourneyTools.h"
#include "views/LogWindow.h"
#include "views/OptionsEditor.h"
#include "views/OptionsEditorHost.h"
#include "views/OutlineHost.h"
#include "views/PictureTools.h"
#include "views/PreviewHost.h"
#include "views/PreferencesTools.h"
#include "views/PreviewInBrowserTools.h"
#include "views/PrintTools.h"
#include "views/ProblemsHost.h"
#include "views/ProjectExplorerHost.h"
#include "views/PropertiesHost.h"
#include "views/ProjectTools.h"
#include "views/SpellTools.h"
#include "views/TestModeTools.h"
#include "views/WizardTools.h"
#include "views/frmFind.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace {
constexpr int ProgramNameId = 30000;
constexpr int TitleId = 30200;
constexpr int ReadOnlyId = 33213;
constexpr int NoHelpViewerId = 30268;
} // namespace

MainWindow::MainWindow(IWindowHost& windows) : m_windows(windows)
{
    setWindowTitle(LoadResString(ProgramNameId));
    setObjectName(QStringLiteral("frmMain"));
    m_bars = new CommandBars(*this);
    m_documents = new DocumentArea(this);
    setCentralWidget(m_documents);
    m_log = new LogWindow(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_log);
    m_status = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setFormat(QStringLiteral("%p%"));
    m_progress->setMaximumWidth(200);
    m_progress->hide();
    statusBar()->setObjectName(QStringLiteral("sb"));
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(m_progress);
    resize(1100, 760);

    // The current window rather than the activated one: the area reports none while the main
    // window itself is inactive, and the document's menus should stay.
    connect(m_documents, &QMdiArea::subWindowActivated, this, [this] {
        const QMdiSubWindow* window = m_documents->currentSubWindow();
        if (m_view)
            m_view->SetActiveWindow(window && window->widget() ? window->widget()->objectName() : QString());
        showTitle();
    });
}

MainWindow::~MainWindow()
{
    // Closing the documents while the base class tears down activates windows; by then this
    // window's own members are gone.
    disconnect(m_documents, nullptr, this, nullptr);
}

void MainWindow::bindToApplication()
{
    if (!gApp || m_view == &gApp->View())
        return;
    m_view = &gApp->View();
    followView(*m_view);
    followDocument();
    attachWindowTools(*gApp);
}

void MainWindow::attachWindowTools(CApplication& application)
{
    auto diagram = std::make_unique<DiagramHost>(application, *m_documents);
    if (QToolBar* bar = m_bars->toolBar(QStringLiteral("barDecisionTree")))
        diagram->addControlSelector(*bar);
    diagram->setEntityPopup(m_bars->menu(QLatin1String(DiagramHost::EntityPopupBand)));
    followDock(application.View(), diagram->makeThumbnailDock(*this));
    connect(&application.View(), &CView::windowRequested, diagram.get(), [host = diagram.get()](const QString& name) {
        if (name == QLatin1String(DiagramHost::WindowName))
            host->show();
    });
    QDockWidget& find = frmFind::MakeDock(*this, application.Controller().Edit(), application.View());
    frmFind::CheckReplacements(application.Controller().Edit(), application.Model().Decisions(), application.Model().Document());
    followDock(application.View(), find);
    // The find bar works on the application's edit controller: it goes with the application.
    auto findLifetime = std::make_unique<QObject>();
    connect(findLifetime.get(), &QObject::destroyed, &find, [dock = QPointer<QDockWidget>(&find)] { delete dock.data(); });
    application.Attach(std::move(findLifetime));
    auto options = std::make_unique<OptionsEditorHost>(application, *this);
    followDock(application.View(), options->dock());
    connect(diagram.get(), &DiagramHost::controlPropertiesRequested, options.get(), &OptionsEditorHost::showControl);
    auto outline = std::make_unique<OutlineHost>(application, *this);
    followDock(application.View(), outline->dock());
    connect(outline.get(), &OutlineHost::controlPropertiesRequested, options.get(), &OptionsEditorHost::showControl);
    auto previews = std::make_unique<PreviewHost>(application, *this);
    followDock(application.View(), previews->pageDock());
    followDock(application.View(), previews->inputDock());
    application.Attach(std::make_unique<PreferencesTools>(application, *this,
                                                          [host = diagram.get()] { host->applySettings(); }));
    auto projectTools = std::make_unique<ProjectTools>(application, *m_documents, *this);
    auto pictureTools = std::make_unique<PictureTools>(application, *this);
    attachEditorDocks(application, *options, *projectTools, *pictureTools);
    auto problems = std::make_unique<ProblemsHost>(application, *this, *diagram, *m_documents);
    followDock(application.View(), problems->dock());
    problems->followSelectorGrids(projectTools->Selectors().Commands().Manager());
    connect(problems.get(), &ProblemsHost::optionsLineRequested, options.get(), &OptionsEditorHost::showLine);
    application.Attach(std::move(options));
    application.Attach(std::move(outline));
    application.Attach(std::move(previews));
    DiagramHost* host = diagram.get();
    application.Attach(std::move(diagram));
    // After the diagram, so destroyed before it.
    application.Attach(std::make_unique<WizardTools>(application, *this, [host] { return host->window() != nullptr; }));
    application.Attach(std::move(projectTools));
    application.Attach(std::move(pictureTools));
    application.Attach(std::make_unique<PrintTools>(application, *this));
    application.Attach(std::make_unique<SpellTools>(application, *this));
    application.Attach(std::make_unique<CompareTools>(application, *this));
    application.Attach(std::make_unique<PreviewInBrowserTools>(application));
    auto testMode = std::make_unique<TestModeTools>(application, *this);
    followDock(application.View(), testMode->DecisionValuesWindow());
    followDock(application.View(), testMode->SelectorValuesWindow());
    // Made after test mode and so destroyed before it: the journeys record its runs.
    auto journeys = std::make_unique<JourneyTools>(application, *this, testMode->Test());
    followDock(application.View(), journeys->Window());
    application.Attach(std::move(testMode));
    application.Attach(std::move(journeys));
    // Last, so destroyed first: it takes the author to the diagram and the options editor.
    application.Attach(std::move(problems));
}

void MainWindow::attachEditorDocks(CApplication& application, OptionsEditorHost& options, ProjectTools& projectTools,
                                   PictureTools& pictureTools)
{
    auto properties = std::make_unique<PropertiesHost>(application, *this);
    followDock(application.View(), properties->dock());
    auto explorer = std::make_unique<ProjectExplorerHost>(application, *this);
    followDock(application.View(), explorer->dock());
    explorer->setSelectorPopup(m_bars->menu(QLatin1String(ProjectExplorerHost::SelectorPopupBand)));
    connect(explorer.get(), &ProjectExplorerHost::optionsRequested, &options, &OptionsEditorHost::showControl);
    connect(explorer.get(), &ProjectExplorerHost::selectorRequested, &projectTools,
            [tools = &projectTools](const QString& name) { tools->Selectors().Commands().EditList(name); });
    connect(explorer.get(), &ProjectExplorerHost::pictureRequested, &pictureTools, &PictureTools::showPicture);
    application.Attach(std::move(properties));
    application.Attach(std::move(explorer));
}

void MainWindow::followDock(CView& view, QDockWidget& dock)
{
    DockFirstHeight::watch(*this, dock);
    if (CommandBand* band = view.Band(dock.objectName())) {
        dock.setWindowTitle(band->Caption());
        m_bars->followBand(*band, dock);
    }
}

void MainWindow::followView(CView& view)
{
    m_bars->build(view);
    if (CommandBand* logBand = view.Band(QStringLiteral("barLog"))) {
        m_log->setWindowTitle(logBand->Caption());
        m_bars->followBand(*logBand, *m_log);
    }
    if (CommandBand* statusBand = view.Band(QStringLiteral("sb")))
        m_bars->followBand(*statusBand, *statusBar());
    m_log->follow(view);

    connect(&view, &CView::statusChanged, m_status, &QLabel::setText);
    connect(&view, &CView::progressChanged, this, &MainWindow::showProgress);
    connect(&view, &CView::progressBusyChanged, m_progress, [this](bool busy) { m_progress->setRange(0, busy ? 0 : 100); });
    connect(&view, &CView::hideRequested, this, &QWidget::hide);
    connect(&view, &CView::windowArrangementRequested, m_documents, &DocumentArea::arrange);
    connect(&view, &CView::helpPageRequested, this, &MainWindow::openHelpPage);
    m_status->setText(view.StatusText());
    showProgress(view.Progress(), view.ProgressVisible());
}

void MainWindow::followDocument()
{
    const CmDocument& document = gApp->Model().Document();
    connect(&document, &CmDocument::nameChanged, this, &MainWindow::showTitle);
    connect(&document, &CmDocument::dirtyChanged, this, &MainWindow::showTitle);
    connect(&document, &CmDocument::closed, this, &MainWindow::showTitle);
    connect(&document, &CmDocument::readOnlyChanged, this, &MainWindow::showTitle);
    showTitle();
}

void MainWindow::showTitle()
{
    if (!gApp)
        return;
    const CmDocument& document = gApp->Model().Document();
    // A closed project leaves the program's name only.
    if (!document.Storage().isOpen()) {
        setWindowTitle(LoadResString(ProgramNameId));
        setWindowModified(false);
        return;
    }
    // "[*]" is where Qt puts the changed marker.
    const QString name = document.ReadOnly() ? document.Name() + QLatin1Char(' ') + LoadResString(ReadOnlyId)
                                             : document.Name();
    setWindowTitle(LoadResString(TitleId).arg(name, LoadResString(ProgramNameId)));
    setWindowModified(document.Dirty());
    // A maximised document window lends the main window its own changed marker: they agree.
    for (QWidget* child : findChildren<QMdiSubWindow*>())
        child->setWindowModified(document.Dirty());
}

void MainWindow::openHelpPage(const QString& path)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    QMessageBox::warning(this, LoadResString(ProgramNameId),
                         LoadResString(NoHelpViewerId).arg(QDir::toNativeSeparators(path)));
}

void MainWindow::restoreLayout(const QByteArray& layout, int version)
{
    bindToApplication();
    restoreState(layout, version);
    m_bars->takeStateFromWidgets();
}

void MainWindow::showProgress(int percent, bool visible)
{
    m_progress->setValue(percent);
    m_progress->setVisible(visible);
}

QString MainWindow::statusText() const
{
    return m_status->text();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!gApp) {
        event->accept();
        return;
    }
    if (MStartUp::ExitProgram(m_windows)) {
        event->accept();
        return;
    }
    event->ignore();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (gApp)
        gApp->View().ResizeStatusBar();
}

bool MainWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ApplicationActivate:
        bringRunningWizardToFront();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void MainWindow::bringRunningWizardToFront()
{
    if (!gApp)
        return;
    CcGettingStarted& gettingStarted = gApp->Controller().GettingStarted();
    if (gettingStarted.Running())
        gettingStarted.ShowWizard();
}
