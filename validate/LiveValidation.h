#pragma once

#include "validate/ControlDependencies.h"
#include "validate/ValidationFindings.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class CcValidation;
class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class ISelectorCatalog;
class TreeSnapshot;
struct DecisionChange;

// The validation's findings kept current while the tree is edited. It follows the decision
// manager's typed events and checks again only the controls a change touches: the control
// itself, the controls that name it (all of them when it comes or goes or changes its name or
// number, those that set a value on it when its interface, lines or limits change), the
// controls whose being displayed it changes, and, for a selector or a picture, the controls
// that name it. Indexes from each name to the controls that read it make that independent of
// the size of the tree. The path analysis needs the whole tree: it runs when asked
// (CheckPaths), which a window does after a pause in the typing.
//
// The whole-tree work can run on another thread (StartCheck), on a copy of the tree taken
// when it starts: its findings are taken only if no change came in the meantime, and a change
// asks for another pause instead (pathsOutdated).
//
// Findings() lists, row for row, what a full validation with path analysis writes.
class LiveValidation final : public QObject {
    Q_OBJECT

public:
    enum class Mark { None, Warning, Error };

    // One finding with the control it is about (null for none).
    struct Row {
        ValidationFindings::Entry entry;
        const CmDecisionItem* control = nullptr;
        // The control's number, kept apart: a cleared tree deletes its controls before it says so.
        qint16 number = 0;
    };

    // Both must outlive it. Nothing is checked until Check(). Destroying it waits for a check
    // running on another thread to stop.
    LiveValidation(const CmDecisionManager& decisions, const CmDocument& document, QObject* parent = nullptr);
    ~LiveValidation() override;
    LiveValidation(const LiveValidation&) = delete;
    LiveValidation& operator=(const LiveValidation&) = delete;

    // Another source of selectors (a test); null returns to the stored ones. A check on another
    // thread reads it there.
    void setSelectorCatalog(const ISelectorCatalog* catalog);
    // The runtimes the tree is checked for; a change needs a full check.
    void setTargets(bool web, bool desktop);
    bool CompileKVW() const { return m_web; }
    bool CompileKVD() const { return m_desktop; }

    // No full check since the tree was read, cleared or given other targets: the findings are
    // not current and changes are not followed until Check().
    bool Stale() const { return m_stale; }
    // The controls changed since the path analysis last ran.
    bool PathsStale() const { return m_pathsStale; }

    // Every control checked, then the paths (followed on another core meanwhile); a check
    // running on another thread is dropped first.
    void Check();
    void CheckPaths();
    // What a pause in the typing calls for, on another thread: a full check when the findings
    // are stale, else the paths when they are behind; nothing when one runs or all is current.
    void StartCheck();
    // Drops the check running on another thread, waiting for it to stop.
    void StopCheck();
    bool Checking() const { return m_job != nullptr; }
    // Selectors or pictures were added, removed, renamed or edited.
    void SelectorsChanged(const QStringList& names);
    void PicturesChanged(const QStringList& names);

    QList<Row> Rows() const;
    QList<ValidationFindings::Entry> Findings() const;
    int Errors() const { return m_errors; }
    int Warnings() const { return m_warnings + static_cast<int>(m_pathRows.size()); }
    Mark MarkOf(const CmDecisionItem& decision) const;
    // The numbers of the controls whose findings may have changed since last asked.
    QSet<qint16> TakeChangedNumbers();
    // How many controls the last change checked again.
    int LastRecheckCount() const { return m_lastRecheckCount; }

signals:
    // Findings of controls changed (Rows, MarkOf and the counts).
    void findingsChanged();
    // The path findings are behind the tree.
    void pathsOutdated();
    // The findings need a full check (a project read, the tree cleared).
    void staleChanged(bool stale);
    // A check on another thread started, or ended (taken, dropped or stopped).
    void checkingChanged(bool checking);

private:
    struct ControlState {
        QList<ValidationFindings::Entry> entries;
        ControlDependencies reads;
        QStringList displayed; // upper-cased, as the validator compares them
        QStringList keys;      // what a reference to this control is indexed by
        qint16 number = 0;
        int errors = 0;
        int warnings = 0;
    };
    using Controls = QSet<const CmDecisionItem*>;
    using Index = QHash<QString, Controls>;
    // Each name to the controls that read it.
    struct Indexes {
        Index referrers;
        Index valueReferrers;
        Index selectorUsers;
        Index headerUsers;
        Index pictureUsers;
        QHash<QString, int> displayedCount;
    };
    // What a full check found, indexed as the live check keeps it, so that taking it is a move.
    struct Outcome {
        QHash<const CmDecisionItem*, ControlState> states;
        Indexes indexes;
        int errors = 0;
        int warnings = 0;
        QList<Row> paths;
    };
    struct Job;

    // The whole-tree work, on whichever thread; cancel stops it between controls. The findings
    // are kept under keys, the project's controls in the tree's order, or under the tree's own
    // when null: a key is never read.
    static Outcome checkAll(const CmDecisionManager& decisions, CcValidation& validation,
                            const QList<const CmDecisionItem*>* keys, const std::atomic<bool>* cancel);
    // The path findings, each with its control's key (as checkAll).
    static QList<Row> pathsOf(const CmDecisionManager& decisions, const QList<const CmDecisionItem*>* keys);
    static void run(Job& job);
    void finishJob(quint64 id);
    // Whether there was one to stop.
    bool stopJob();
    void adopt(Outcome& outcome);
    void adoptPaths(QList<Row> rows);

    void onAdded(const CmDecisionItem* item);
    void onRemoved(const CmDecisionItem* item);
    void onRenamed(const CmDecisionItem* item, const QString& oldName);
    void onChanged(const CmDecisionItem* item, const DecisionChange& change);
    void onCleared();
    void setStale(bool stale);
    void forgetAll();

    // Checks the controls and whatever their new findings touch, then reports.
    void recheck(Controls seeds);
    void checkOne(const CmDecisionItem* item, QList<const CmDecisionItem*>& more);
    static ControlState checked(CcValidation& validation, const CmDecisionItem& item);
    // keys, when given, remembers the key of each reference as written (a whole tree's index).
    static void index(Indexes& into, const CmDecisionItem* item, const ControlState& state, bool displayed,
                      QHash<QString, QString>* keys = nullptr);
    void unindex(const CmDecisionItem* item, const ControlState& state);
    void addReferrers(Controls& into, const QStringList& keys, bool valueOnly) const;
    // The key a reference is indexed by: a number by "#" and the number, a name upper-cased.
    static QString referenceKey(const QString& reference);
    static QStringList keysOf(const QString& name, qint16 number);
    // Whether another user of the selector's header comes before the control in decision order.
    bool firstHeaderUser(const QString& foldedSelector, const CmDecisionItem* item) const;
    const CmDecisionItem* firstUserOf(const Controls& users) const;
    int positionOf(const CmDecisionItem* item) const;
    void forgetPathRows(const CmDecisionItem* item);
    void noteChanged(qint16 number) { m_changedNumbers.insert(number); }

    const CmDecisionManager& m_decisions;
    const CmDocument& m_document;
    const ISelectorCatalog* m_catalog = nullptr;
    std::unique_ptr<CcValidation> m_validation;
    QHash<const CmDecisionItem*, ControlState> m_states;
    Indexes m_indexes;
    QList<Row> m_pathRows;
    QHash<const CmDecisionItem*, int> m_pathCounts;
    QSet<qint16> m_changedNumbers;
    // Decision order, rebuilt when a removal moved it.
    mutable QHash<const CmDecisionItem*, int> m_positions;
    mutable bool m_positionsValid = false;
    const CmDecisionItem* m_checking = nullptr;
    int m_errors = 0;
    int m_warnings = 0;
    int m_lastRecheckCount = 0;
    bool m_web = true;
    bool m_desktop = true;
    bool m_stale = true;
    bool m_pathsStale = true;
    // Moves with every change reported; a check started elsewhere is taken only when it has not.
    quint64 m_generation = 0;
    quint64 m_jobs = 0;
    std::unique_ptr<Job> m_job;
    std::thread m_worker;
};
