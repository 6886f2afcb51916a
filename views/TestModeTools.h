#pragma once

#include "app/IWindowTools.h"
#include "testmode/CcDecisionTest.h"
#include "testmode/ITestModeHost.h"

#include <QObject>
#include <QPointer>

#include <memory>

class CApplication;
class PlayerSelectorPanel;
class PlayerWindow;
class QDockWidget;
class QMainWindow;
class QTableView;

// Test mode in the Designer: the run and stop tools, the player showing the pages of the run,
// the decision values and selector values windows, and the dialogs the runner asks through.
class TestModeTools : public QObject, public IWindowTools, public ITestModeHost {
    Q_OBJECT
public:
    TestModeTools(CApplication& application, QMainWindow& mainWindow);
    ~TestModeTools() override;

    bool Handles(int id) const override;
    bool Allowed(int id) const override;
    void Run(int id) override;
    void StopRunning() override;

    CcDecisionTest& Test() { return m_test; }
    // The two debug windows, for the main window to dock and follow their bands.
    QDockWidget& DecisionValuesWindow() const { return *m_valuesDock; }
    QDockWidget& SelectorValuesWindow() const { return *m_selectorsDock; }
    PlayerWindow* Player() const { return m_player.get(); }

    void AddLog(const QString& line) override;
    void Message(const QString& text) override;
    void SetStatus(const QString& text) override;
    void HideProgressBar() override;
    void SaveProjectAs() override;
    bool TestModeDialog(TestModeOptions& options, const QStringList& controlNames) override;
    std::optional<QString> AskValue(const CmDecisionItem& control) override;
    qint16 SelectedControl() const override;
    void SelectControl(qint16 intID) override;
    IRuntimeHost* OpenRuntimeWindow(RuntimeEngine& engine, const CompiledTree& tree) override;
    void CloseRuntimeWindow() override;
    void ShowDebugWindows(bool decisionValues, bool selectorValues) override;
    void RunningChanged(bool running) override;

private:
    void showOptions();
    void showCurrentControl(const QString& control);
    void refreshSelectors();

    CApplication& m_application;
    QMainWindow& m_mainWindow;
    CcDecisionTest m_test;
    QPointer<QDockWidget> m_valuesDock;
    QPointer<QDockWidget> m_selectorsDock;
    QTableView* m_valuesTable = nullptr;
    QPointer<PlayerSelectorPanel> m_selectorPanel;
    std::unique_ptr<PlayerWindow> m_player;
};
