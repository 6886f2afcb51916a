#pragma once

#include "app/PropertySheet.h"

#include <QObject>
#include <QPointer>

class CApplication;
class CmDecisionItem;
class QDockWidget;
class QMainWindow;
class frmProperties;

// Keeps the properties window in its dock ("barProperties") on the selected control, following
// every change made to it elsewhere: undo, a rename, a move in the diagram, the project's
// pictures. It lives as long as the application's model.
class PropertiesHost : public QObject {
    Q_OBJECT

public:
    static constexpr const char* DockName = "barProperties";

    PropertiesHost(CApplication& application, QMainWindow& main);
    ~PropertiesHost() override;

    QDockWidget& dock() const { return *m_dock; }
    frmProperties& window() const { return *m_window; }

private:
    void follow();
    void followCanvas();
    void show(CmDecisionItem* decision);
    void showPictures();
    void removed(CmDecisionItem* item);

    CApplication& m_application;
    PropertySheet m_sheet;
    QPointer<QDockWidget> m_dock;
    frmProperties* m_window = nullptr;
};
