#pragma once

#include "app/IWindowHost.h"

#include <QLocalServer>
#include <QPointer>

#include <memory>

class IPrompt;
class MainWindow;
class MenuKeyGuard;
class SplashWindow;
class WelcomeDialog;

// The real windows of the Designer, and the local socket through which a second instance
// asks the first to come to the front.
class DesignerWindowHost : public QObject, public IWindowHost {
    Q_OBJECT
public:
    explicit DesignerWindowHost(IPrompt& prompt);
    ~DesignerWindowHost() override;

    bool IsAnotherInstanceRunning() override;
    bool ActivateOtherInstance() override;
    void ShowSplash(const QString& text) override;
    void CloseSplash() override;
    void ShowMainWindow() override;
    void CloseAllWindows() override;
    QByteArray SaveWindowLayout() override;
    void RestoreWindowLayout(const QByteArray& layout) override;
    WindowPlacement MainWindowPlacement() override;
    void PlaceMainWindow(const WindowPlacement& placement) override;

    MainWindow* mainWindow() const { return m_mainWindow.get(); }

    // The socket's name: one per user id, display and home folder.
    static QString InstanceServerName();

private:
    void listenForOtherInstances();
    void bringToFront();

    IPrompt& m_prompt;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<SplashWindow> m_splash;
    QPointer<WelcomeDialog> m_welcome;
    // The main window's child.
    QPointer<MenuKeyGuard> m_menuKeys;
    QLocalServer m_server;
};
