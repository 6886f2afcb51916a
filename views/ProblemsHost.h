#pragma once

#include "app/IWindowTools.h"
#include "views/ProblemsWindow.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>

class CApplication;
class CvCriteriaListManager;
class DiagramHost;
class DiagramWindow;
class DocumentArea;
class LiveValidation;
class QDockWidget;
class QLabel;
class QMainWindow;

// Keeps the project's problems current while the author edits: the live check over the open
// project, the Problems window in its dock, the count in the status bar and the marks on the
// diagram. After a pause in the typing the full check or the path analysis runs on another
// thread, its findings taken only if the tree did not change meanwhile; Check the Tree runs
// everything at once. A row chosen in the window selects its control on the diagram and opens the
// property or the options line the finding is about. It lives as long as the application's model.
class ProblemsHost : public QObject, public IWindowTools {
    Q_OBJECT

public:
    static constexpr const char* DockName = "barProblems";
    // How long the typing must pause before the paths are followed again.
    static constexpr int PathPauseMs = 700;

    ProblemsHost(CApplication& application, QMainWindow& main, DiagramHost& diagram, DocumentArea& documents);
    ~ProblemsHost() override;

    QDockWidget& dock() const { return *m_dock; }
    ProblemsWindow& window() const { return *m_window; }
    LiveValidation& validation() const { return *m_live; }
    // The status bar's count.
    QString countText() const;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

    // A selector saved from its grid is checked again in the controls that use it.
    void followSelectorGrids(const CvCriteriaListManager& grids);
    // A full check now, the window brought up.
    void checkTree();
    // What the timers would do, at once: a full check when one is due, the paths, the window.
    void settle();

signals:
    // The finding is about a line of the control's options and actions.
    void optionsLineRequested(qint16 number, int line);

private:
    void applyTarget();
    void refresh();
    void showCount();
    void showMarks(bool all);
    void goTo(const ProblemsModel::Row& row);
    void openProperty(const QString& property);
    void followExplorer();

    CApplication& m_application;
    QMainWindow& m_main;
    DiagramHost& m_diagram;
    std::unique_ptr<LiveValidation> m_live;
    QPointer<QDockWidget> m_dock;
    ProblemsWindow* m_window = nullptr;
    QPointer<QLabel> m_count;
    QPointer<DiagramWindow> m_marked;
    QTimer m_refresh;
    QTimer m_pause;
    QStringList m_selectors;
    QStringList m_pictures;
};
