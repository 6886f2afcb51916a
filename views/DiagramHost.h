#pragma once

#include "app/IWindowTools.h"
#include "views/DiagramWindow.h"

#include <QDockWidget>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include <memory>

class CApplication;
class CmDecisionItem;
class DocumentArea;
class QMainWindow;
class QMdiSubWindow;
class QToolBar;
class QtLinkDialog;

// Keeps the diagram window of the open project in the document area and carries out the
// diagram's commands on it, with the thumbnail, the entity popup and the Control Selector
// around it. It lives as long as the diagram behind it.
class DiagramHost : public QObject, public IWindowTools {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "frmDecisionTree";
    static constexpr const char* ThumbnailBand = "barThumbNail";
    static constexpr const char* EntityPopupBand = "mnuDTEntityPopup";

    DiagramHost(CApplication& application, DocumentArea& documents);
    ~DiagramHost() override;

    // Shows the diagram window, making it when there is none, and brings it to the front.
    void show();
    // The diagram's commands, carried out while the diagram is the active window.
    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;
    DiagramWindow* window() const { return m_window; }

    // The dock that holds the thumbnail of the open diagram; it goes with this host.
    QDockWidget& makeThumbnailDock(QMainWindow& main);
    // The Control Selector joins the decision-tree toolbar.
    void addControlSelector(QToolBar& bar);
    // The diagram settings of the view changed (the preferences): the window and the tools follow.
    void applySettings();
    // The menu that pops up on a right click on a control.
    void setEntityPopup(QMenu* menu) { m_entityPopup = menu; }
    QMenu* entityPopup() const { return m_entityPopup; }

signals:
    // A double click on the control asks for its properties.
    void controlPropertiesRequested(qint16 key);

private:
    void closeWindow();
    // The one selected control, whose links Remove Link offers; null otherwise.
    CmDecisionItem* linkSource() const;
    // Removes the !GO lines of one option and target of the selected control, asking which
    // when it has links to more than one.
    void removeLink();
    void showThumbnail();
    void popUp(qint16 key, QPoint globalPosition);
    void showControl(qint16 key);
    // Asks for the control's new name and renames it with every reference.
    void rename(qint16 key);
    // The check marks of the diagram's tools: the canvas tool, the grid, the type, the lines, the size.
    void showChecks();
    void setChecked(int id, bool checked);
    void chooseTool(int id);
    // The boxes take the size of that kind, from the Size menu or a control's properties.
    void resizeBoxes(int kind);

    CApplication& m_application;
    DocumentArea& m_documents;
    QPointer<QMdiSubWindow> m_subWindow;
    QPointer<DiagramWindow> m_window;
    QPointer<QDockWidget> m_thumbnailDock;
    QPointer<QMenu> m_entityPopup;
    QPointer<QWidget> m_selectorBox;
    std::unique_ptr<QtLinkDialog> m_linkDialog;
    // The canvas tool last chosen; a new window starts with selection.
    int m_toolId;
};
