#pragma once

#include "app/IWindowTools.h"
#include "views/DiagramWindow.h"

#include <QObject>
#include <QPointer>

#include <memory>

class CApplication;
class DocumentArea;
class QMdiSubWindow;
class QtLinkDialog;

// Keeps the diagram window of the open project in the document area and carries out the
// diagram's commands on it. It lives as long as the diagram behind it.
class DiagramHost : public QObject, public IWindowTools {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "frmDecisionTree";

    DiagramHost(CApplication& application, DocumentArea& documents);
    ~DiagramHost() override;

    // Shows the diagram window, making it when there is none, and brings it to the front.
    void show();
    // The diagram's commands, carried out while the diagram is the active window.
    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;
    DiagramWindow* window() const { return m_window; }

private:
    void closeWindow();

    CApplication& m_application;
    DocumentArea& m_documents;
    QPointer<QMdiSubWindow> m_subWindow;
    QPointer<DiagramWindow> m_window;
    std::unique_ptr<QtLinkDialog> m_linkDialog;
};
