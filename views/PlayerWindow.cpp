#include "views/PlayerWindow.h"

#include "base/ResourceStrings.h"
#include "journeys/ProjectTree.h"
#include "model/CmDocument.h"
#include "project/Project.h"
#include "views/PlayerControlView.h"
#include "views/PlayerPage.h"
#include "views/PlayerSelectorPanel.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

std::unique_ptr<PlayerWindow> PlayerWindow::create(const CompiledTree& tree, const QString& title, QString& problem)
{
    std::unique_ptr<PlayerWindow> window(new PlayerWindow(tree, title));
    const StorageResult loaded = window->m_engine.load(tree);
    if (!loaded) {
        problem = loaded.message;
        return nullptr;
    }
    window->addSelectorPanel();
    return window;
}

std::unique_ptr<PlayerWindow> PlayerWindow::following(RuntimeEngine& engine, const CompiledTree& tree, const QString& title)
{
    std::unique_ptr<PlayerWindow> window(new PlayerWindow(engine, tree, title));
    window->addSelectorPanel();
    return window;
}

void PlayerWindow::addSelectorPanel()
{
    m_selectors = new PlayerSelectorPanel(m_engine, this);
    findChild<QSplitter*>()->addWidget(m_selectors);
}

std::unique_ptr<PlayerWindow> PlayerWindow::forProject(const Project& project, QString& problem)
{
    CompiledTree tree;
    QString log;
    if (const StorageResult compiled = ProjectTree::compile(project.Decisions(), project.Document(), tree, log); !compiled) {
        problem = log.isEmpty() ? compiled.message : compiled.message + QLatin1Char('\n') + log;
        return nullptr;
    }
    return create(tree, project.Document().Name(), problem);
}

int PlayerWindow::playFile(const QString& path)
{
    CompiledTree tree;
    QString problem;
    const StorageResult read = CompiledTree::readFile(path, tree);
    std::unique_ptr<PlayerWindow> window =
        read ? create(tree, QFileInfo(path).completeBaseName(), problem) : nullptr;
    if (!read)
        problem = read.message;
    if (!window) {
        QMessageBox::critical(nullptr, LoadResString(32500), LoadResString(32583).arg(path, problem));
        return 1;
    }
    window->show();
    window->start();
    return QApplication::exec();
}

PlayerWindow::PlayerWindow(const CompiledTree& tree, const QString& title)
    : m_ownTree(tree), m_tree(*m_ownTree), m_ownEngine(std::make_unique<RuntimeEngine>()), m_engine(*m_ownEngine)
{
    m_engine.registerHost(this);
    build(title);
}

PlayerWindow::PlayerWindow(RuntimeEngine& engine, const CompiledTree& tree, const QString& title)
    : m_tree(tree), m_engine(engine)
{
    build(title);
}

void PlayerWindow::build(const QString& title)
{
    setWindowTitle(LoadResString(32570).arg(title));
    m_engine.window().setShowHandler([this] {
        show();
        raise();
        activateWindow();
    });

    auto* page = new QWidget(this);
    auto* pageLayout = new QVBoxLayout(page);
    m_page = new PlayerPage(page);
    m_status = new QLabel(page);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);

    m_back = new QPushButton(LoadResString(32572), page);
    m_next = new QPushButton(LoadResString(32573), page);
    m_finish = new QPushButton(LoadResString(32578), page);
    m_startOver = new QPushButton(LoadResString(32579), page);
    m_next->setDefault(true);
    connect(m_back, &QPushButton::clicked, this, &PlayerWindow::back);
    connect(m_next, &QPushButton::clicked, this, &PlayerWindow::next);
    connect(m_finish, &QPushButton::clicked, this, &PlayerWindow::finish);
    connect(m_startOver, &QPushButton::clicked, this, &PlayerWindow::startOver);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startOver);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(m_finish);

    pageLayout->addWidget(m_page, 1);
    pageLayout->addWidget(m_status);
    pageLayout->addLayout(buttons);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(page);
    setCentralWidget(splitter);
    resize(980, 620);
}

PlayerWindow::~PlayerWindow()
{
    m_engine.window().setShowHandler({});
    // A run someone else drives is theirs to stop.
    if (m_ownEngine)
        m_engine.stop();
}

bool PlayerWindow::start(const QString& control)
{
    setStatus(QString());
    const bool started = m_engine.start(control);
    if (!started && m_engine.isRunning())
        showPage();
    refreshButtons();
    return started;
}

QString PlayerWindow::statusText() const
{
    return m_status->text();
}

void PlayerWindow::HandleEvent(int code, const QStringList& arguments, QString& text)
{
    Q_UNUSED(text);
    switch (code) {
    case RuntimeEvent::PageShown:
        showPage();
        break;
    case RuntimeEvent::Closed:
        showEnded();
        break;
    case RuntimeEvent::Error:
        setStatus(LoadResString(12502) + arguments.value(0), true);
        break;
    case RuntimeEvent::Call:
        setStatus(LoadResString(32581).arg(arguments.value(0)));
        break;
    default:
        break; // nothing outside the tree answers definition or value requests here
    }
}

void PlayerWindow::next()
{
    if (!giveAnswers())
        return;
    setStatus(QString());
    if (m_engine.next() && m_engine.isRunning() && !m_engine.lastLeaveRanGo()) {
        const QString reached = m_engine.onDefaultDonePage() ? LoadResString(32536)
                                                             : m_engine.control(m_engine.page().first())->displayName();
        setStatus(LoadResString(32582).arg(reached));
    }
    refreshButtons();
}

void PlayerWindow::back()
{
    setStatus(QString());
    m_engine.back();
    refreshButtons();
}

void PlayerWindow::finish()
{
    if (!giveAnswers())
        return;
    m_engine.finish();
    refreshButtons();
}

void PlayerWindow::startOver()
{
    if (m_ownEngine)
        start();
    else
        m_engine.requestStartOver(); // whoever drives the run starts it again
}

bool PlayerWindow::giveAnswers()
{
    for (PlayerControlView* view : m_page->controlViews()) {
        if (!view->control().takesAnswer())
            continue;
        // The engine's rule says which answers a page needs, here as for the runner and the web.
        if (const std::optional<QString> refused = m_engine.setAnswer(view->controlId(), view->answer())) {
            setStatus(*refused, true);
            return false;
        }
    }
    return true;
}

void PlayerWindow::showPage()
{
    m_page->clear();
    if (m_engine.onDefaultDonePage()) {
        m_page->setHeader(LoadResString(11423));
    } else {
        const RuntimeControl& main = *m_engine.control(m_engine.page().first());
        m_page->setHeader(main.header);
        if (!main.picture.isEmpty())
            m_page->setPicture(m_tree.pictures.value(main.picture.toCaseFolded()));
        for (const int id : m_engine.page()) {
            auto* view = new PlayerControlView(*m_engine.control(id), m_engine);
            m_page->addControl(view);
            // Queued, so the click ends first; a second click queued behind the first answers
            // only the page it was made on, not the page the first one opened.
            connect(view, &PlayerControlView::pushed, this,
                    [this, pushed = QPointer<PlayerControlView>(view)] {
                        if (pushed && m_page->controlViews().contains(pushed.data()))
                            next();
                    },
                    Qt::QueuedConnection);
        }
        focusFirstAnswer();
    }
    if (m_selectors)
        m_selectors->refresh();
    refreshButtons();
}

void PlayerWindow::focusFirstAnswer()
{
    // The page is answered from the keyboard without a click first.
    for (PlayerControlView* view : m_page->controlViews()) {
        for (QWidget* input : view->findChildren<QWidget*>()) {
            if ((input->focusPolicy() & Qt::TabFocus) && input->isEnabled()) {
                input->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
}

void PlayerWindow::showEnded()
{
    m_page->clear();
    m_page->setHeader(LoadResString(32580));
    if (m_selectors)
        m_selectors->refresh();
    refreshButtons();
    emit runEnded(static_cast<int>(m_engine.runEnd()));
}

void PlayerWindow::hideSelectors()
{
    if (m_selectors)
        m_selectors->hide();
}

void PlayerWindow::refreshButtons()
{
    const bool running = m_engine.isRunning();
    m_back->setEnabled(running && m_engine.canGoBack());
    m_next->setEnabled(running && !m_engine.onDonePage());
    m_finish->setEnabled(running && (m_engine.earlyFinish() || m_engine.onDonePage()));
}

void PlayerWindow::setStatus(const QString& text, bool problem)
{
    m_status->setStyleSheet(problem ? QStringLiteral("color: #b00020;") : QString());
    m_status->setText(text);
}

const QList<PlayerControlView*>& PlayerWindow::controlViews() const
{
    return m_page->controlViews();
}
