#pragma once

#include <QMainWindow>
#include <QPointer>

class CApplication;
class CView;
class CommandBars;
class QDockWidget;
class DocumentArea;
class IWindowHost;
class LogWindow;
class OptionsEditorHost;
class PictureTools;
class ProjectTools;
class QLabel;
class QProgressBar;

// The Designer's main window: menus and toolbars built from the view's bands, the document
// area, the docked log, the status bar, and the close, resize, activation and state-timer
// handling around the core.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:

    explicit MainWindow(IWindowHost& windows);
    ~MainWindow() override;

    // Follows the application object's view once it exists; again only for a new one.
    void bindToApplication();
    // Builds the bars first, so that every bar and dock of the arrangement is there to take it.
    void restoreLayout(const QByteArray& layout, int version);

    QString statusText() const;
    const QProgressBar* progressBar() const { return m_progress; }
    const CommandBars& commandBars() const { return *m_bars; }
    const LogWindow& logWindow() const { return *m_log; }
    DocumentArea& documents() const { return *m_documents; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void followView(CView& view);
    void followDocument();
    // The windows and dialogs behind the diagram's and the project's commands, for as long as the application lives.
    void attachWindowTools(CApplication& application);
    // The properties window and the project explorer, opening the editors the explorer asks for.
    void attachEditorDocks(CApplication& application, OptionsEditorHost& options, ProjectTools& projectTools,
                           PictureTools& pictureTools);
    // The dock shows and hides with the band named as the dock is.
    void followDock(CView& view, QDockWidget& dock);
    void showProgress(int percent, bool visible);
    void showTitle();
    void openHelpPage(const QString& path);
    void bringRunningWizardToFront();

    IWindowHost& m_windows;
    QPointer<CView> m_view;
    CommandBars* m_bars = nullptr;
    DocumentArea* m_documents = nullptr;
    LogWindow* m_log = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
};
