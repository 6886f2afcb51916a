#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class CmDecisionItem;
struct CompiledTree;
class IRuntimeHost;
class RuntimeEngine;
struct TestModeOptions;

// What a test run needs of the windows: the log and message boxes, the file controller's save,
// the test-mode and value dialogs, the diagram's selection, the runtime's window and the two
// debug windows. The Designer answers with its windows; tests script it.
class ITestModeHost {
public:
    virtual ~ITestModeHost() = default;

    virtual void AddLog(const QString& line) = 0;
    virtual void Message(const QString& text) = 0;
    virtual void SetStatus(const QString& text) = 0;
    virtual void HideProgressBar() = 0;
    // The file controller's Save As; the document's path says whether it happened.
    virtual void SaveProjectAs() = 0;
    // frmTestMode: false when cancelled; otherwise the options hold the choices.
    virtual bool TestModeDialog(TestModeOptions& options, const QStringList& controlNames) = 0;
    // frmDecisionValue for a control the runtime references: nothing when no value was given.
    virtual std::optional<QString> AskValue(const CmDecisionItem& control) = 0;
    // The control selected in the diagram (its intID), 0 when none.
    virtual qint16 SelectedControl() const = 0;
    virtual void SelectControl(qint16 intID) = 0;
    // Shows the runtime's pages for the engine running the tree; the returned sink hears the engine's events after
    // the runner (null when the window needs none).
    virtual IRuntimeHost* OpenRuntimeWindow(RuntimeEngine& engine, const CompiledTree& tree) = 0;
    virtual void CloseRuntimeWindow() = 0;
    // Opens or closes the decision values and the selector values windows.
    virtual void ShowDebugWindows(bool decisionValues, bool selectorValues) = 0;
    // A run started or ended: the run tool follows it.
    virtual void RunningChanged(bool running) = 0;

protected:
    ITestModeHost() = default;
    ITestModeHost(const ITestModeHost&) = default;
    ITestModeHost& operator=(const ITestModeHost&) = default;
};
