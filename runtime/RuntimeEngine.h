#pragma once

#include "base/StorageResult.h"
#include "runtime/CompiledTree.h"
#include "runtime/IRunTrace.h"
#include "runtime/IRuntimeHost.h"
#include "runtime/RuntimeControl.h"
#include "runtime/SelectorTable.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class ExpressionNode;

// One action that ran, with where it came from.
struct ExecutedAction {
    QString control;
    QString option; // the option text, or "_PREACTION"
    QString line;
    QString note;   // what it did, when there is more to say than the line
};

// Runs a compiled tree page by page (see docs/RUNTIME.md for the rules it keeps). A host drives
// it: answers the controls of the page, then next(), back() or finish(); the engine raises its
// events on the registered host while it works. A bad tree never ends in a crash: every fault
// ends the run with an error event.
class RuntimeEngine {
public:
    enum class Mode { Normal, StepThrough };
    enum class RunEnd { None, Done, Finished, Stopped, Failed };

    static constexpr int DefaultStepLimit = 10000;
    // The page-state id of the engine's own done page.
    static constexpr int DefaultDonePage = -1;
    static inline const QString PreActionName = QStringLiteral("_PREACTION");

    // What the host reads and steers: the controls of the page, and which control comes next.
    class PageState {
    public:
        explicit PageState(RuntimeEngine& engine) : m_engine(engine) {}
        // The ids of the page's controls separated by "|"; empty on the default done page.
        QString read() const;
        // The control shown next (its id), or DefaultDonePage. Told while a page is left, it
        // wins over the !GO that ran; told while a page is shown, that page is replaced.
        void setNextControl(int id);

    private:
        RuntimeEngine& m_engine;
    };

    class FileUtility {
    public:
        // Replaces the target with a copy of the source.
        bool copy(const QString& target, const QString& source) const;
    };

    // The runtime's window as the host sees it; the player installs what showing it means.
    class Window {
    public:
        void show() const
        {
            if (m_show)
                m_show();
        }
        void setShowHandler(std::function<void()> show) { m_show = std::move(show); }

    private:
        std::function<void()> m_show;
    };

    struct RunValues {
        QList<std::pair<QString, QString>> controls;           // name, value
        QList<std::pair<QString, QStringList>> selectorItems;  // selector, remaining items in order
    };

    RuntimeEngine();
    RuntimeEngine(const RuntimeEngine&) = delete;
    RuntimeEngine& operator=(const RuntimeEngine&) = delete;
    ~RuntimeEngine();

    // Reads the controls and tables; refuses a rules text it cannot read.
    StorageResult load(const CompiledTree& tree);

    // The host contract.
    void registerHost(IRuntimeHost* host) { m_host = host; }
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    FileUtility fileUtility() const { return {}; }
    PageState& pageState() { return m_pageState; }
    Window& window() { return m_window; }
    RunValues values() const;
    // Who hears the options and branches the run takes; null for nobody. It must outlive the run.
    void setTrace(IRunTrace* trace) { m_trace = trace; }
    // Ends the run at once; no more events.
    void stop();

    void setStepLimit(int limit) { m_stepLimit = limit; }
    int stepLimit() const { return m_stepLimit; }

    // Starts at the control named (a name or an id); with none, at the control the page state
    // was told, else at the first control.
    bool start(const QString& reference = QString());
    bool isRunning() const { return m_running; }
    RunEnd runEnd() const { return m_end; }
    QString errorText() const { return m_error; }

    // The ids of the page's controls in page order: the control, then its displayed controls.
    const QList<int>& page() const { return m_page; }
    // A page the run left, with its controls' values as they were when it was left.
    struct LeftPage {
        QList<int> controls;
        QStringList values;
    };
    // The pages left on the way to the current one, oldest first; Back takes them off again.
    QList<LeftPage> pagesLeft() const;
    bool onDefaultDonePage() const { return m_running && m_page.isEmpty(); }
    // A Done control's page or the default done page: Next ends the run there.
    bool onDonePage() const;
    bool earlyFinish() const { return m_earlyFinish; }
    bool canGoBack() const { return m_running && !m_history.empty(); }
    // How many values the pages left keep for Back (their shown values and the changes since):
    // it grows with what the run changed, not with the pages times the values.
    qsizetype historyValues() const;

    const RuntimeControl* control(int id) const;
    // By name (without regard to case), by id, or by "_" and the id.
    const RuntimeControl* findControl(const QString& reference) const;
    QList<const RuntimeControl*> controls() const;
    // The control's value in its runtime form ("True"/"False", a number, an option text,
    // choices separated by "|"); its default while nothing was answered or set.
    QString value(int id) const;
    // Answers a control of the page; the reason when the answer does not suit the control.
    std::optional<QString> setAnswer(int id, const QString& answer);

    bool next();
    bool back();
    bool finish();
    // Asks the host to start over (the host decides and calls start()).
    void requestStartOver();

    const std::vector<SelectorTable>& selectors() const { return m_selectors; }
    const SelectorTable* selector(const QString& name) const;
    // The actions that ran when the page was last left, and the controls passed over on the
    // way (controls without options are not shown).
    struct PassedOver {
        int control = 0;
        qsizetype firstAction = 0; // its actions begin here in lastActions()
    };
    const QList<ExecutedAction>& lastActions() const { return m_actions; }
    const QList<PassedOver>& passedOver() const { return m_passedOver; }
    // Whether a !GO ran when the page was last left.
    bool lastLeaveRanGo() const { return m_lastLeaveRanGo; }
    // The !JUMP, !JUMPN and !SUBMIT actions of the run, recorded as they ran.
    const QStringList& links() const { return m_links; }

private:
    friend class PageState;
    class Scope;
    struct Source {
        const RuntimeControl* control = nullptr;
        QString option;
    };
    // A page left: what Back needs to return to it. The values are not copied; the changes made
    // since are logged with what they replaced, so each page costs what it changed.
    template <typename Key>
    struct Change {
        Key key;
        std::optional<QString> previous; // none when the key was absent
    };
    struct Snapshot {
        QList<int> page;
        QStringList pageValues; // the page's values as it was left
        bool earlyFinish = false;
        std::vector<SelectorTable::Mark> marks;
        qsizetype links = 0;
        std::vector<Change<int>> values;
        std::vector<Change<int>> defaults;
        std::vector<Change<QString>> foreignValues;
    };
    struct Normalized {
        QString value;
        QString error; // empty when the value suits the control
    };

    bool guarded(const std::function<void()>& work);
    void raise(int code, const QStringList& arguments, QString& text);
    void raise(int code, const QStringList& arguments = {});
    void fail(const QString& message);
    void endRun(RunEnd end);

    void leavePage(bool moveOn);
    void advance(int target);
    void showPage(int id);
    int resolveTarget(const QString& reference);
    int requestDefinition(const QString& reference);
    int nextById(int id) const;
    int startTarget(const QString& reference);

    void runControlActions(const RuntimeControl& control);
    void runActions(const QStringList& lines, const Source& source);
    void runAction(const QString& line, int keyword, const Source& source);
    void record(const Source& source, const QString& line, const QString& note = QString());
    void flushActions();

    void runSet(const QString& argument, bool asDefault, const Source& source, const QString& line);
    void runKill(const QString& argument, const Source& source, const QString& line);
    void runSort(const QString& argument, const Source& source, const QString& line);
    SelectorTable& selectorFor(const QString& name);
    QString valueText(const QString& expression);

    QList<RuntimeOption> chosenOptions(const RuntimeControl& control) const;
    Normalized normalize(const RuntimeControl& control, const QString& answer) const;
    QString pageValuesText() const;
    void resetRun();
    // Sets a value of the run, logging what it replaced while Back can return to a page.
    void assign(QHash<int, QString>& map, int id, const QString& value);
    void assignForeign(const QString& key, const QString& value);

    IRuntimeHost* m_host = nullptr;
    IRunTrace* m_trace = nullptr;
    Mode m_mode = Mode::Normal;
    PageState m_pageState{*this};
    Window m_window;
    int m_stepLimit = DefaultStepLimit;

    std::map<int, RuntimeControl> m_controls;
    QHash<QString, int> m_byName;
    std::vector<SelectorTable> m_selectors;
    // The tests of the !KILL lines read so far, each line parsed once per engine.
    std::unordered_map<QString, std::unique_ptr<const ExpressionNode>> m_killTests;
    std::vector<SelectorTable::Mark> m_initialMarks;
    QHash<QString, int> m_selectorIndex;

    bool m_running = false;
    bool m_busy = false;
    bool m_stopped = false;
    RunEnd m_end = RunEnd::None;
    QString m_error;
    QList<int> m_page;
    QHash<int, QString> m_values;
    QHash<int, QString> m_defaults;
    QHash<QString, QString> m_foreignValues;
    bool m_earlyFinish = false;
    QStringList m_links;
    std::vector<Snapshot> m_history;
    int m_steps = 0;

    std::optional<int> m_hostNext;
    std::optional<QString> m_go;
    bool m_lastLeaveRanGo = false;
    QList<ExecutedAction> m_actions;
    QStringList m_unreported;
    QList<PassedOver> m_passedOver;
};
