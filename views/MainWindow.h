#pragma once

#include <QMainWindow>
#include <QTimer>

class IWindowHost;
class QLabel;
class QMdiArea;
class QProgressBar;

// The Designer's main window: status bar, document area, and the close, resize, activation
// and state-timer handling around the core.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int StateTimerInterval = 500;

    explicit MainWindow(IWindowHost& windows);

    // Follows the application object's view once it exists.
    void bindToApplication();

    bool stateTimerActive() const { return m_stateTimer.isActive(); }
    QString statusText() const;
    const QProgressBar* progressBar() const { return m_progress; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void showProgress(int percent, bool visible);
    void refreshCommandState();
    void bringRunningWizardToFront();

    IWindowHost& m_windows;
    QTimer m_stateTimer;
    QMdiArea* m_documents = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
};
