#pragma once

#include "base/StorageResult.h"
#include "runtime/IRuntimeHost.h"
#include "runtime/RuntimeEngine.h"
#include "web/RunState.h"

#include <QHash>
#include <QString>
#include <QStringList>

struct WebTree;

// One web run on its own engine: brought back from its state by replaying each step, then moved
// on by the user's answers. Answers go through the engine's own rule (RuntimeEngine::setAnswer),
// so a page refuses here what the player and `kestrova run` refuse.
class WebRun final : public IRuntimeHost {
public:
    explicit WebRun(const WebTree& tree);
    WebRun(const WebRun&) = delete;
    WebRun& operator=(const WebRun&) = delete;
    ~WebRun() override;

    // Replays the state from the start; false when the state does not fit the tree. A run used
    // before may be restored again: the tree stays loaded, the run starts afresh.
    bool restore(const RunState& state);

    // Gives the answers of the page (control id -> answer) and takes the step. On a refused
    // answer nothing moves and the reasons are by control id.
    struct Result {
        bool moved = false;
        QHash<int, QString> refused;
        RunState::Step step;     // what to add to the state when it moved
        QStringList links;       // !JUMP, !JUMPN and !SUBMIT lines that ran on the way
    };
    Result take(RunState::Step::Kind kind, const QHash<int, QString>& answers);

    RuntimeEngine& engine() { return m_engine; }
    const RuntimeEngine& engine() const { return m_engine; }
    // Whether the run went to the reserved FinishLink target, which ends a web wizard.
    bool endedByFinishLink() const { return m_finishLinkId != 0 && m_finishLinkReached; }

    void HandleEvent(int code, const QStringList& arguments, QString& text) override;

    static inline const QString FinishLink = QStringLiteral("FinishLink");

private:
    // Gives a step's answers and moves; the reasons of refused answers by control id.
    bool apply(const RunState::Step& step, QHash<int, QString>* refused);
    void endOnFinishLink();

    const WebTree& m_tree;
    RuntimeEngine m_engine;
    StorageResult m_loaded;
    int m_finishLinkId = 0;
    bool m_finishLinkReached = false;
};
