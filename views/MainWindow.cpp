#include "views/MainWindow.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/CcGettingStarted.h"
#include "app/ErrorLog.h"
#include "app/MStartUp.h"
#include "app/ResourceStrings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>

namespace {
constexpr int ProgramNameId = 30000;
}

MainWindow::MainWindow(IWindowHost& windows) : m_windows(windows)
{
    setWindowTitle(LoadResString(ProgramNameId));
    setObjectName(QStringLiteral("frmMain"));
    m_documents = new QMdiArea(this);
    setCentralWidget(m_documents);
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

    m_stateTimer.setInterval(StateTimerInterval);
    connect(&m_stateTimer, &QTimer::timeout, this, &MainWindow::refreshCommandState);
}

void MainWindow::bindToApplication()
{
    if (!gApp)
        return;
    CView& view = gApp->View();
    connect(&view, &CView::statusChanged, m_status, &QLabel::setText, Qt::UniqueConnection);
    connect(&view, &CView::progressChanged, this, &MainWindow::showProgress, Qt::UniqueConnection);
    m_status->setText(view.StatusText());
    m_progress->setValue(view.Progress());
    m_progress->setVisible(view.ProgressVisible());
    m_stateTimer.start();
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
    m_stateTimer.stop();
    if (MStartUp::ExitProgram(m_windows)) {
        event->accept();
        return;
    }
    event->ignore();
    m_stateTimer.start();
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

void MainWindow::refreshCommandState()
{
    // Project commands that depend on selectors and pictures join the timer with the menus.
}
