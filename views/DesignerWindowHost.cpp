#include "views/DesignerWindowHost.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CcGettingStarted.h"
#include "views/CommandBars.h"
#include "views/DocumentArea.h"
#include "views/MainWindow.h"
#include "views/MenuKeyGuard.h"
#include "views/SplashWindow.h"
#include "views/WelcomeDialog.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMenu>
#include <QScreen>

#include <unistd.h>

namespace {
constexpr int ConnectTimeoutMs = 500;
const QByteArray ActivateRequest = QByteArrayLiteral("activate\n");
// Our number for the bar and dock arrangement; a layout saved with another is not restored.
constexpr int LayoutStateVersion = 1;

constexpr int TitleBarHeight = 32;

// A frame whose title bar lies on no screen (a monitor since unplugged) would put the window
// out of reach.
bool reachable(const QRect& frame)
{
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), TitleBarHeight));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(titleBar))
            return true;
    }
    return false;
}
// A frame larger than its screen (one saved on a bigger monitor, or the built-in size on a
// small one) would hide the status bar below the screen's edge.
QRect fittedToScreen(const QRect& frame)
{
    const QScreen* screen = QGuiApplication::screenAt(frame.topLeft() + QPoint(frame.width() / 2, TitleBarHeight / 2));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return frame;
    const QRect area = screen->availableGeometry();
    // Room is left for the title bar that the desktop puts above the frame.
    QRect fitted(frame.topLeft(), frame.size().boundedTo(area.size() - QSize(0, TitleBarHeight)));
    if (fitted.right() > area.right())
        fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom())
        fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left())
        fitted.moveLeft(area.left());
    if (fitted.top() < area.top())
        fitted.moveTop(area.top());
    return fitted;
}
} // namespace

DesignerWindowHost::DesignerWindowHost(IPrompt& prompt)
    : m_prompt(prompt), m_mainWindow(std::make_unique<MainWindow>(*this))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith(ActivateRequest.trimmed()))
                    bringToFront();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

DesignerWindowHost::~DesignerWindowHost() = default;

QString DesignerWindowHost::InstanceServerName()
{
    // Tests name their own, so they neither find nor are found by a Designer the user runs.
    const QString chosen = qEnvironmentVariable("KESTROVA_INSTANCE_NAME");
    if (!chosen.isEmpty())
        return chosen;
    // One instance per account and per display or session, keyed by the user id (an account
    // may lack $USER) and a hash of the display and the home folder. The socket goes into the
    // user's own runtime folder when there is one, where no other account can put one first.
    const QString display = QGuiApplication::platformName() + QLatin1Char(':')
                            + qEnvironmentVariable("WAYLAND_DISPLAY") + QLatin1Char(':') + qEnvironmentVariable("DISPLAY");
    const QByteArray place = (display + QLatin1Char('\n') + QDir::homePath()).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(place, QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QStringLiteral("kvwDesigner-%1-%2").arg(::getuid()).arg(hash);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(name);
    return name;
}

bool DesignerWindowHost::IsAnotherInstanceRunning()
{
    QLocalSocket probe;
    probe.connectToServer(InstanceServerName());
    const bool running = probe.waitForConnected(ConnectTimeoutMs);
    probe.abort();
    if (!running)
        listenForOtherInstances();
    return running;
}

bool DesignerWindowHost::ActivateOtherInstance()
{
    QLocalSocket socket;
    socket.connectToServer(InstanceServerName());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(ActivateRequest);
    socket.waitForBytesWritten(ConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

void DesignerWindowHost::listenForOtherInstances()
{
    // A crashed instance may have left its socket behind.
    QLocalServer::removeServer(InstanceServerName());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(InstanceServerName());
}

void DesignerWindowHost::bringToFront()
{
    if (m_mainWindow->isMinimized())
        m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void DesignerWindowHost::ShowSplash(const QString& text)
{
    m_splash = std::make_unique<SplashWindow>(text);
    m_splash->adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen())
        m_splash->move(screen->availableGeometry().center() - m_splash->rect().center());
    m_splash->show();
    QApplication::processEvents();
}

void DesignerWindowHost::CloseSplash()
{
    if (m_splash)
        m_splash->close();
}

void DesignerWindowHost::ShowMainWindow()
{
    m_mainWindow->bindToApplication();
    if (!m_menuKeys) {
        m_menuKeys = new MenuKeyGuard(*m_mainWindow);
        if (QMenu* windows = m_mainWindow->commandBars().menu(QStringLiteral("mnuWindow")))
            m_mainWindow->documents().listWindowsIn(*windows);
    }
    if (gApp && !m_welcome)
        m_welcome = new WelcomeDialog(gApp->Controller().GettingStarted(), m_prompt, m_mainWindow.get());
    if (m_welcome) {
        CcGettingStarted& wizard = gApp->Controller().GettingStarted();
        connect(&wizard, &CcGettingStarted::started, m_welcome.data(), &QWidget::show, Qt::UniqueConnection);
    }
    m_mainWindow->show();
}

void DesignerWindowHost::CloseAllWindows()
{
    if (m_welcome)
        m_welcome->close();
    if (m_splash)
        m_splash->close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != m_mainWindow.get() && window->isVisible())
            window->close();
    }
    m_mainWindow->close();
}

QByteArray DesignerWindowHost::SaveWindowLayout()
{
    return m_mainWindow->saveState(LayoutStateVersion);
}

void DesignerWindowHost::RestoreWindowLayout(const QByteArray& layout)
{
    m_mainWindow->restoreLayout(layout, LayoutStateVersion);
}

WindowPlacement DesignerWindowHost::MainWindowPlacement()
{
    // The normal frame, so that a maximised window comes back to its size when restored.
    const QRect frame = m_mainWindow->normalGeometry();
    WindowPlacement placement;
    placement.Left = frame.left();
    placement.Top = frame.top();
    placement.Width = frame.width();
    placement.Height = frame.height();
    if (m_mainWindow->isMaximized())
        placement.WindowState = WindowPlacement::Maximized;
    else if (m_mainWindow->isMinimized())
        placement.WindowState = WindowPlacement::Minimized;
    return placement;
}

void DesignerWindowHost::PlaceMainWindow(const WindowPlacement& placement)
{
    const QRect frame(placement.Left, placement.Top, placement.Width, placement.Height);
    if (!frame.isEmpty() && reachable(frame))
        m_mainWindow->setGeometry(fittedToScreen(frame));
    // A program that starts minimised looks as if it had not started.
    m_mainWindow->setWindowState(placement.WindowState == WindowPlacement::Maximized ? Qt::WindowMaximized
                                                                                    : Qt::WindowNoState);
}
