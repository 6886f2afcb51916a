#pragma once

#include <QObject>
#include <QPointer>

class CApplication;
class QDockWidget;
class QMainWindow;
class QMenu;
class frmProject;

// Keeps the project explorer in its dock ("barProject") following the decisions and the
// project's lists, and opens what the author activates in it: a control selected with its
// options editor, a selector in its window, a picture in its own. The selector branch pops up
// "mnuProjCLPopup". It lives as long as the application's model.
class ProjectExplorerHost : public QObject {
    Q_OBJECT

public:
    static constexpr const char* DockName = "barProject";
    static constexpr const char* SelectorPopupBand = "mnuProjCLPopup";

    ProjectExplorerHost(CApplication& application, QMainWindow& main);
    ~ProjectExplorerHost() override;

    QDockWidget& dock() const { return *m_dock; }
    frmProject& explorer() const { return *m_explorer; }
    void setSelectorPopup(QMenu* menu) { m_popup = menu; }

signals:
    // The control was selected; its options are to be edited.
    void optionsRequested(qint16 key);
    void selectorRequested(const QString& name);
    void pictureRequested(const QString& name);

private:
    void follow();
    void select(qint16 key);
    void open(qint16 key);
    void popUp(const QString& selector, const QPoint& globalPosition);

    CApplication& m_application;
    QPointer<QDockWidget> m_dock;
    frmProject* m_explorer = nullptr;
    QPointer<QMenu> m_popup;
};
