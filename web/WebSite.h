#pragma once

#include "base/StorageResult.h"
#include "web/RunState.h"
#include "web/WebRequest.h"
#include "web/WebResponse.h"
#include "web/WebTree.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

class ResultsStore;
class WebRun;

// The served trees and what a request to them gets: the list of trees at /, each tree at /NAME/,
// its pictures at /NAME/images/PICTURE. Holds no run: every run travels in its signed token and
// is replayed when it is not among the recent ones this process keeps. Safe from any thread.
class WebSite {
public:
    // Reads a tree (again); a front end gives one per file, so a project can be compiled.
    using Loader = std::function<StorageResult(const QString& path, WebTree& tree)>;
    using Log = std::function<void(const QString& line)>;

    WebSite(QByteArray key, ResultsStore* results, Log log);
    ~WebSite();
    WebSite(const WebSite&) = delete;
    WebSite& operator=(const WebSite&) = delete;

    // Reads the tree now; its name must be new.
    StorageResult add(const QString& path, Loader loader);
    // Pictures not in a tree are read from this folder only.
    void setImageFolder(const QString& folder) { m_imageFolder = folder; }
    // Reads again each tree whose file changed; new runs start on the new version. Reads the
    // external selectors' tables of each tree whose refresh time has come; then loads an engine
    // for each tree that has none spare, within the limit below.
    void refresh();
    // A failing table refresh is logged at most this often; the last good tables keep serving.
    static constexpr std::chrono::seconds FailureLogInterval{60};
    QStringList names() const;
    // The tree served under the name now; null when none is.
    std::shared_ptr<const WebTree> tree(const QString& name) const;

    WebResponse handle(const WebRequest& request);

    // Recent runs kept per process, so the next step of a run needs no replay.
    static constexpr std::size_t CachedRuns = 256;
    // Engines of ended or dropped runs kept loaded for new runs: loading a tree costs more than
    // starting a run on it.
    static constexpr std::size_t SpareRuns = 64;
    // Loaded engines waiting for a new run or a replay; adding a tree and each refresh leave one
    // for each tree.
    std::size_t spareEngines();

    // All kept engines together hold at most this many selector items (an engine holds its own
    // copy of every table), so a large tree keeps fewer runs.
    static constexpr std::size_t KeptItems = 400'000;

private:
    struct Entry {
        QString path;
        Loader loader;
        std::shared_ptr<const WebTree> tree;
        QDateTime modified;
        qint64 size = -1;
        std::chrono::steady_clock::time_point tablesRead = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point failureLogged;
    };
    struct Cached {
        QByteArray signature;
        std::shared_ptr<const WebTree> tree;
        std::unique_ptr<WebRun> run;
        std::size_t weight = 1; // the selector items its engine holds, and one
    };

    void refreshTables();
    WebResponse startRun(const std::shared_ptr<const WebTree>& tree, const WebRequest& request);
    WebResponse step(const std::shared_ptr<const WebTree>& tree, const WebRequest& request);
    WebResponse picture(const WebTree& tree, const QString& name) const;
    WebResponse mustStartAgain(const WebTree& tree, int messageId) const;
    // The page after a step, with its events recorded and the run kept for its next step.
    WebResponse afterStep(const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run, const RunState& state,
                          const RunState::Step& step, const QStringList& links);
    std::unique_ptr<WebRun> takeCached(const QByteArray& signature, const WebTree& tree);
    // A loaded run of the tree to restore: a spare one, else a new one.
    std::unique_ptr<WebRun> freshRun(const std::shared_ptr<const WebTree>& tree);
    // Loads an engine of a tree and keeps it spare.
    void preload(const std::shared_ptr<const WebTree>& tree);
    // A spare engine for each tree that has none, while the kept engines stay within the limit.
    void replenish();
    void spare(const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run);
    // Drops spares, then the least recent runs, until the limits hold; the lock is held.
    void trim();
    static std::size_t weightOf(const WebTree& tree);
    void keep(const QByteArray& signature, const std::shared_ptr<const WebTree>& tree, std::unique_ptr<WebRun> run);
    void recordPage(const WebTree& tree, const RunState& state, const WebRun& run, const RunState::Step* step);

    QByteArray m_key;
    ResultsStore* m_results;
    Log m_log;
    QString m_imageFolder;
    mutable std::mutex m_treesMutex;
    std::vector<Entry> m_entries;
    std::mutex m_cacheMutex;
    std::list<Cached> m_cache; // most recent first
    std::vector<Cached> m_spares;
    std::size_t m_keptWeight = 0;
};
