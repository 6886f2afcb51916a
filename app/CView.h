#pragma once


#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class CommandBand;
class CommandBands;
class CommandTool;
class CvProject;
class IUndoCounts;
class IWindowTools;
class IWindowHost;
class ViewSettings;

// The windows as the core sees them: the command bands and their tools, the dispatcher every
// click arrives at, status text, progress, the log, and the editor views. The Designer's main
// window is built from the bands and follows them through their signals.
class CView : public QObject {
    Q_OBJECT
public:
    enum class WindowArrangement { TileHorizontally, TileVertically, Cascade, ArrangeIcons };
    Q_ENUM(WindowArrangement)

    // The explorer is the project's; the view shows it.
    CView(IWindowHost& windows, CvProject& explorer);
    ~CView() override;

    void Init();
    void Show();
    void Hide();

    // An empty text shows "Ready". Both let pending window events run.
    void SetStatus(const QString& text);
    // Clamped to 0..100; a negative value hides the bar.
    void SetProgress(int percent);
    void HideProgressBar();
    void ResizeStatusBar();
    // A progress bar that only says "working" while an operation of unknown length runs.
    void ProgressBusy(bool busy);
    // Lets pending events run now, refusing any key or click among them.
    void RefusePendingInput();

    const QString& StatusText() const { return m_status; }
    int Progress() const { return m_progress; }
    bool ProgressVisible() const { return m_progressVisible; }
    bool ProgressIsBusy() const { return m_progressBusy; }

    // Bands are named without regard to case; null when there is none of that name or id.
    CommandBand* Band(const QString& name) const;
    CommandTool* Tool(int id) const;
    const CommandBands& Bands() const { return *m_bands; }

    // Captions, tooltips and status help of every band and tool from the string table.
    void LoadResources();
    // The menu shows on the menu bar only while that document window is active.
    void RegisterMenu(const QString& window, const QString& menu);
    // The document window that became active; empty when none is.
    void SetActiveWindow(const QString& window);
    // The object name of the active document window; empty when none is.
    const QString& ActiveWindow() const { return m_activeWindow; }
    // Windows that carry out commands; not owned, removed by their owner before it goes.
    void AddWindowTools(IWindowTools* tools);
    void RemoveWindowTools(IWindowTools* tools);
    // The first window that handles the id and allows it now runs it.
    bool WindowToolAllowed(int id) const;
    void RunWindowTool(int id);
    // Every window tool's test or wizard that still runs is ended.
    void StopRunningWindowTools();
    void RequestWindow(const QString& window) { emit windowRequested(window); }
    // The diagram's window, which an open project brings up when the settings say so.
    static constexpr const char* DiagramWindowName = "frmDecisionTree";
    void ShowToolBar(const QString& name);
    void HideToolBar(const QString& name);
    void ShowMenu(const QString& name);
    void HideMenu(const QString& name);

    // The log: whole lines, each ended by CR LF, no prefix.
    void ClearLog();
    void AddLog(const QString& text);
    const QString& GetLog() const { return m_log; }
    void ShowLog();
    void HideLog();

    // Every menu and toolbar click arrives here. Ignored while the document is busy and for a
    // tool that is disabled.
    void mAB_ToolClick(int id);
    // Runs the command of a tool as if it had been clicked.
    void CallToolID(int id);
    // Every tool stays disabled until EnableTools.
    void DisableTools();
    void EnableTools();
    // Enabled and checked state of each tool from the state of the program.
    void UpdateBand(const QString& name);
    void UpdateAllBands();
    // The project commands that depend on selectors and pictures, when the explorer's lists change.
    void RefreshProjectCommands();
    // Whether the program's state allows the command; it is enabled only when its operation
    // exists as well.
    bool ToolAllowed(int id) const;

    // 0 while there is no history.
    int UndoCount() const;
    int RedoCount() const;
    int RecentFileCount() const { return static_cast<int>(m_recentFiles.size()); }
    // The undo history's counts enable Undo and Redo; null while there is no history.
    void setUndoCounts(const IUndoCounts* counts) { m_undoCounts = counts; }

    // Asks the Designer to arrange the document windows and to show a help page.
    void ArrangeWindows(WindowArrangement arrangement);
    void ShowHelpPage(const QString& path);

    CvProject& Project() const { return m_project; }
    // The author's preferences, read from the settings store at Init and written at exit.
    ViewSettings& Settings() const { return *m_settings; }


signals:
    void statusChanged(const QString& text);
    void progressChanged(int percent, bool visible);
    void progressBusyChanged(bool busy);
    void statusBarResizeRequested();
    void hideRequested();
    // text is the appended piece, CR LF included.
    void logAppended(const QString& text);
    void logCleared();
    void windowArrangementRequested(CView::WindowArrangement arrangement);
    void helpPageRequested(const QString& path);
    // A window the Designer opens or brings to the front, by its object name.
    void windowRequested(const QString& window);
    // A command is about to run: an editor takes in what the author is typing first.
    void toolAboutToRun(int id);

private:
    void letPendingEventsRun();
    void followControllers();
    void showRecentFiles(const QStringList& files);
    void refreshTool(CommandTool& tool) const;
    void setBandVisible(const QString& name, bool visible);

    IWindowHost& m_windows;
    std::unique_ptr<CommandBands> m_bands;
    QString m_status;
    QElapsedTimer m_lastPendingEventsRun;
    int m_progress = 0;
    bool m_progressVisible = false;
    bool m_progressBusy = false;
    QString m_log;
    QStringList m_recentFiles;
    std::vector<std::pair<QString, QString>> m_registeredMenus;
    QString m_activeWindow;
    std::vector<IWindowTools*> m_windowTools;
    bool m_toolsDisabled = false;
    const IUndoCounts* m_undoCounts = nullptr;
    CvProject& m_project;
    std::unique_ptr<ViewSettings> m_settings;
};
