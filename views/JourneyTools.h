#pragma once

#include "app/IWindowTools.h"
#include "journeys/CcJourneys.h"

#include <QObject>
#include <QPointer>

class CApplication;
class CcDecisionTest;
class QDockWidget;
class QMainWindow;
class QTableView;

// Journeys in the Designer: Record Journey keeps the run test mode holds, Run All Journeys and
// the journeys window (a dock listing each journey with how it did, to run one, all, or delete
// one) run them on the tree as it stands.
class JourneyTools : public QObject, public IWindowTools {
    Q_OBJECT
public:
    // The test runner must outlive the tools.
    JourneyTools(CApplication& application, QMainWindow& mainWindow, CcDecisionTest& test);
    ~JourneyTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;

    CcJourneys& Journeys() { return m_journeys; }
    QDockWidget& Window() const { return *m_dock; }
    // The journeys window's buttons: run the selected journeys, run all, delete the selected one.
    void RunSelected();
    void DeleteSelected();

private:
    QList<int> selectedRows() const;
    void showWindow();

    CApplication& m_application;
    CcDecisionTest& m_test;
    CcJourneys m_journeys;
    QPointer<QDockWidget> m_dock;
    QTableView* m_table = nullptr;
};
