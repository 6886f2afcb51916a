#pragma once

#include "app/IWindowTools.h"
#include "edit/OptionsEditSession.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class CApplication;
class OptionsEditor;
class QDockWidget;
class QMainWindow;
class ProjectSelectorCatalog;

// Keeps the options editor in a dock beside the diagram. It follows the selected control;
// a double click on a control in the diagram, or the command, brings it forward on that
// control. It lives as long as the application's model.
class OptionsEditorHost : public QObject, public IWindowTools {
    Q_OBJECT

public:
    static constexpr const char* DockName = "barOptions";

    OptionsEditorHost(CApplication& application, QMainWindow& main);
    ~OptionsEditorHost() override;

    QDockWidget& dock() const { return *m_dock; }
    OptionsEditor& editor() const { return *m_editor; }
    OptionsEditSession& session() { return m_session; }

    // Shows the dock on the control with that diagram key and puts the keyboard in its tree.
    void showControl(qint16 key);
    // Shows the dock on the control and selects the line (counted from 0) on the page the author
    // is on, the tree or the text, with the keyboard there.
    void showLine(qint16 key, int line);

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

private:
    void open(CmDecisionItem* decision);
    // The project's selectors changed (one added, removed or renamed, or another project
    // opened): the references of the open control are checked again against them.
    void selectorsChanged();
    void readCatalog();
    void showNames();
    // The names follow added, renamed and removed controls once the event loop turns, and only
    // while the editor shows: a project read adds every control one by one.
    void namesChanged();
    void bringForward();
    void showDock();

    CApplication& m_application;
    OptionsEditSession m_session;
    std::unique_ptr<ProjectSelectorCatalog> m_catalog;
    QPointer<QDockWidget> m_dock;
    OptionsEditor* m_editor = nullptr;
    QTimer m_names;
};
