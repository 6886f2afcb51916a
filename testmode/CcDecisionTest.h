#pragma once

#include "compile/CcCompile.h"
#include "runtime/CompiledTree.h"
#include "runtime/IRuntimeHost.h"
#include "runtime/RuntimeEngine.h"
#include "testmode/DecisionValuesModel.h"
#include "testmode/TestModeOptions.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ITestModeHost;

// Test mode: runs the tree being edited in our runtime and follows the run from the Designer.
// It compiles the project into a test file of its own, starts the runtime at the chosen
// control, hears every event of the run, logs what happens, keeps the decision values table
// and, in step-through mode, selects the current control in the diagram.
class CcDecisionTest : public QObject, public IRuntimeHost {
    Q_OBJECT
public:
    // All three must outlive the runner.
    CcDecisionTest(CmDecisionManager& decisions, CmDocument& document, TestModeOptions& options,
                   QObject* parent = nullptr);
    ~CcDecisionTest() override;
    CcDecisionTest(const CcDecisionTest&) = delete;
    CcDecisionTest& operator=(const CcDecisionTest&) = delete;

    void setHost(ITestModeHost* host) { m_host = host; }

    // The test command: save when never saved, compile, ask, start, open the debug windows.
    void Run();
    // The test command from one control, without asking how to test.
    void RunFrom(const QString& control);
    // The tree's control names in decision order, as the dialogs list them.
    QStringList ControlNames() const;
    // Starts the runtime on the test file at the control named; false when it could not start.
    bool StartWizard(bool stepThrough, const QString& control);
    // Stops the runtime, removes the test file and restores the Designer.
    void StopWizard();
    // Compiles the project for the desktop runtime into the test file and loads it into a new
    // runtime; false when there is nothing to run.
    bool CopyTestFile();
    void HandleEvent(int code, const QStringList& arguments, QString& text) override;
    // A row of the decision values window.
    void SetDecision(const QString& control, const QString& value, DecisionValuesModel::Status status);
    void ShowDecisionValues();
    void HideDecisionValues();
    void ShowCLValues();
    void HideCLValues();
    bool Running() const { return m_running; }

    DecisionValuesModel& DecisionValues() { return m_values; }
    bool DecisionValuesShown() const { return m_decisionValuesShown; }
    bool CLValuesShown() const { return m_clValuesShown; }
    // The runtime of the current or last run; null before the first and after a stop.
    RuntimeEngine* Engine() { return m_runtime ? &m_runtime->engine : nullptr; }
    const QString& TestFile() const { return m_testFile; }
    // The test file's name for a project: never the document's working copy.
    static QString TestFileFor(const QString& projectPath);

signals:
    // A new page is shown: the debug window selects its first control (deferred by the timer).
    void currentControlChanged(const QString& control);
    void runningChanged(bool running);

private:
    struct Runtime {
        CompiledTree tree;
        RuntimeEngine engine;
    };

    void AddActions(const QStringList& lines);
    // The timer's work after a new page: the debug window's selection and the runtime's window.
    void ItemSelect();
    // The answer to a definition request: the control's stored record under the requested
    // reference, or a done page when no control has the number.
    QString ReplaceReferences(const QString& reference, int number) const;

    void pageLeft();
    void pageShown();
    void runClosed();
    void runFailed(const QString& text);
    void definitionRequested(QString& text);
    void valueRequested(QString& text);
    void setRunning(bool running);
    void showDebugWindows(bool decisionValues, bool selectorValues);
    void removeTestFile();
    QString startControlName() const;
    QString nameOf(int runtimeId) const;
    CmDecisionItem* designerControl(int runtimeId) const;
    void markCurrent(int runtimeId);

    CmDecisionManager& m_decisions;
    CmDocument& m_document;
    TestModeOptions& m_options;
    ITestModeHost* m_host = nullptr;
    CcCompile m_compile;
    std::unique_ptr<Runtime> m_runtime;
    IRuntimeHost* m_viewer = nullptr;
    DecisionValuesModel m_values;
    QString m_testFile;
    QString m_startAt;
    QList<int> m_page;
    bool m_running = false;
    bool m_pageShown = false;
    bool m_noGo = false;
    bool m_restart = false;
    QString m_restartAt;
    QHash<QString, QString> m_heldValues; // case-folded control name -> value
    bool m_decisionValuesShown = false;
    bool m_clValuesShown = false;
    QTimer m_itemSelect;
};
