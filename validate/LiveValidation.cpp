#include "validate/LiveValidation.h"

#include "base/MCommonUtil.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionChange.h"
#include "validate/CcValidation.h"
#include "validate/PathAnalysis.h"
#include "validate/TreeSnapshot.h"

#include <QMetaObject>

#include <cmath>
#include <future>
#include <limits>
#include <optional>
#include <utility>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A check on another thread gives way to the window's: with two cores, a whole-tree check and its
// paths would otherwise take both from the Designer while it draws a project just opened.
void yieldToTheWindow()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
}

} // namespace

namespace {

constexpr int minimumLabelId = 8007;
constexpr int maximumLabelId = 8008;

// What a control that sets a value on this one reads of it: its interface, lines and limits.
bool changesWhatValuesNeed(const DecisionChange& change)
{
    using W = DecisionChange::What;
    switch (change.what) {
    case W::OptsAndActs:
    case W::ControlType:
    case W::Record:
    case W::References:
        return true;
    case W::Property:
        return change.property == minimumLabelId || change.property == maximumLabelId;
    case W::Heading:
        return false;
    }
    return true;
}

QStringList upperDisplayed(const CmDecisionItem& item)
{
    QStringList names;
    names.reserve(item.Group().size());
    for (const QString& shown : item.Group())
        names.append(shown.trimmed().toUpper());
    return names;
}

} // namespace

// A check on another thread: the copy it reads, what it found, and what it was started for.
struct LiveValidation::Job {
    Job(const CmDecisionManager& decisions, const CmDocument& project, bool wholeTree)
        : snapshot(std::in_place, decisions, project,
                   wholeTree ? TreeSnapshot::Content::Everything : TreeSnapshot::Content::Controls),
          document(project), full(wholeTree)
    {
    }

    // Released on the worker once read: freeing a whole tree's copy is no work for the window.
    std::optional<TreeSnapshot> snapshot;
    // Named by the validator, never read: the copy holds the selectors and pictures.
    const CmDocument& document;
    const ISelectorCatalog* catalog = nullptr;
    bool full;
    bool web = true;
    bool desktop = true;
    quint64 id = 0;
    quint64 generation = 0;
    std::atomic<bool> cancel{false};
    Outcome outcome;
};

LiveValidation::LiveValidation(const CmDecisionManager& decisions, const CmDocument& document, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_document(document),
      m_validation(std::make_unique<CcValidation>(decisions, document))
{
    m_validation->setDisplayedRule([this](const QString& name) { return m_indexes.displayedCount.value(name) > 0; });
    connect(&decisions, &CmDecisionManager::decisionAdded, this, &LiveValidation::onAdded);
    connect(&decisions, &CmDecisionManager::decisionRemoved, this, &LiveValidation::onRemoved);
    connect(&decisions, &CmDecisionManager::decisionRenamed, this,
            [this](CmDecisionItem* item, const QString& oldName, const QString&) { onRenamed(item, oldName); });
    connect(&decisions, &CmDecisionManager::decisionChanged, this, &LiveValidation::onChanged);
    connect(&decisions, &CmDecisionManager::cleared, this, &LiveValidation::onCleared);
}

LiveValidation::~LiveValidation()
{
    // Told to no one: the listeners may be going too.
    stopJob();
}

void LiveValidation::setSelectorCatalog(const ISelectorCatalog* catalog)
{
    ++m_generation;
    m_catalog = catalog;
    m_validation->setSelectorCatalog(catalog);
    setStale(true);
}

void LiveValidation::setTargets(bool web, bool desktop)
{
    if (web == m_web && desktop == m_desktop)
        return;
    ++m_generation;
    m_web = web;
    m_desktop = desktop;
    m_validation->setCompileKVW(web);
    m_validation->setCompileKVD(desktop);
    setStale(true);
}

void LiveValidation::setStale(bool stale)
{
    // Stale findings keep no pointer to a control: a read or a clear deletes them all.
    if (stale)
        forgetAll();
    if (stale == m_stale)
        return;
    m_stale = stale;
    emit staleChanged(stale);
    if (stale)
        emit findingsChanged();
}

void LiveValidation::forgetAll()
{
    for (auto it = m_states.cbegin(); it != m_states.cend(); ++it)
        noteChanged(it->number);
    for (const Row& row : std::as_const(m_pathRows)) {
        if (row.number != 0)
            noteChanged(row.number);
    }
    m_states.clear();
    m_indexes.referrers.clear();
    m_indexes.valueReferrers.clear();
    m_indexes.selectorUsers.clear();
    m_indexes.headerUsers.clear();
    m_indexes.pictureUsers.clear();
    m_indexes.displayedCount.clear();
    m_pathRows.clear();
    m_pathCounts.clear();
    m_positions.clear();
    m_positionsValid = false;
    m_errors = 0;
    m_warnings = 0;
    m_pathsStale = true;
}

void LiveValidation::Check()
{
    StopCheck();
    CcValidation validation(m_decisions, m_document);
    validation.setSelectorCatalog(m_catalog);
    validation.setCompileKVW(m_web);
    validation.setCompileKVD(m_desktop);
    Outcome outcome = checkAll(m_decisions, validation, nullptr, nullptr);
    adopt(outcome);
}

void LiveValidation::CheckPaths()
{
    if (m_stale)
        return;
    StopCheck();
    adoptPaths(pathsOf(m_decisions, nullptr));
}

LiveValidation::Outcome LiveValidation::checkAll(const CmDecisionManager& decisions, CcValidation& validation,
                                                 const QList<const CmDecisionItem*>* keys,
                                                 const std::atomic<bool>* cancel)
{
    // Nothing writes the tree meanwhile, so the paths read it on the other core.
    std::future<QList<Row>> paths = std::async(std::launch::async, [&decisions, keys] {
        yieldToTheWindow();
        return pathsOf(decisions, keys);
    });
    Outcome outcome;
    const int count = decisions.Count();
    for (int position = 1; position <= count; ++position) {
        if (const CmDecisionItem* item = decisions.ItemByIndex(position)) {
            for (const QString& shown : item->Group())
                ++outcome.indexes.displayedCount[shown.trimmed().toUpper()];
        }
    }
    // In one pass over the tree the first !KILL or !SORT on a selector is found in order.
    validation.setHeaderRule(nullptr);
    validation.setTreeFixed(true);
    const QHash<QString, int>& displayed = outcome.indexes.displayedCount;
    validation.setDisplayedRule([&displayed](const QString& name) { return displayed.value(name) > 0; });
    outcome.states.reserve(count);
    QHash<QString, QString> referenceKeys;
    qsizetype checkedCount = 0;
    for (int position = 1; position <= count; ++position) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        const CmDecisionItem* item = decisions.ItemByIndex(position);
        if (!item)
            continue;
        const CmDecisionItem* key = keys ? keys->value(checkedCount) : item;
        ++checkedCount;
        ControlState state = checked(validation, *item);
        index(outcome.indexes, key, state, false, &referenceKeys);
        outcome.errors += state.errors;
        outcome.warnings += state.warnings;
        outcome.states.insert(key, std::move(state));
    }
    validation.setDisplayedRule(nullptr);
    validation.setTreeFixed(false);
    outcome.paths = paths.get();
    return outcome;
}

QList<LiveValidation::Row> LiveValidation::pathsOf(const CmDecisionManager& decisions,
                                                   const QList<const CmDecisionItem*>* keys)
{
    ValidationFindings findings;
    PathAnalysis::Run(decisions, findings);
    QHash<const CmDecisionItem*, const CmDecisionItem*> keyOf;
    if (keys) {
        keyOf.reserve(keys->size());
        for (qsizetype at = 0; at < keys->size(); ++at)
            keyOf.insert(decisions.ItemByIndex(static_cast<int>(at + 1)), keys->at(at));
    }
    QList<Row> rows;
    rows.reserve(findings.entries().size());
    for (const ValidationFindings::Entry& entry : findings.entries()) {
        // The location is the control's name, then "." and the property; a name holds no dot.
        const QString name = entry.location.section(QLatin1Char('.'), 0, 0);
        const CmDecisionItem* control = name.isEmpty() ? nullptr : decisions.Item(QVariant(name));
        rows.append({entry, control && keys ? keyOf.value(control) : control, control ? control->intID() : qint16(0)});
    }
    return rows;
}

void LiveValidation::adopt(Outcome& outcome)
{
    forgetAll();
    // What the rechecks read of the selectors and pictures is read again from now on.
    m_validation->Clear();
    m_states = std::move(outcome.states);
    m_indexes = std::move(outcome.indexes);
    m_errors = outcome.errors;
    m_warnings = outcome.warnings;
    for (auto it = m_states.cbegin(); it != m_states.cend(); ++it)
        noteChanged(it->number);
    m_validation->setHeaderRule(
        [this](const QString& selector) { return firstHeaderUser(selector, m_checking); });
    m_lastRecheckCount = static_cast<int>(m_states.size());
    setStale(false);
    adoptPaths(std::move(outcome.paths));
}

void LiveValidation::adoptPaths(QList<Row> rows)
{
    for (const Row& row : std::as_const(m_pathRows)) {
        if (row.number != 0)
            noteChanged(row.number);
    }
    m_pathRows = std::move(rows);
    m_pathCounts.clear();
    for (const Row& row : std::as_const(m_pathRows)) {
        if (row.control) {
            ++m_pathCounts[row.control];
            noteChanged(row.number);
        }
    }
    m_pathsStale = false;
    emit findingsChanged();
}

void LiveValidation::StartCheck()
{
    if (m_job || (!m_stale && !m_pathsStale))
        return;
    m_job = std::make_unique<Job>(m_decisions, m_document, m_stale);
    Job* job = m_job.get();
    job->catalog = m_catalog;
    job->web = m_web;
    job->desktop = m_desktop;
    job->id = ++m_jobs;
    job->generation = m_generation;
    const quint64 id = job->id;
    // Destroying this waits for the thread, so the call is posted to a live object; a posted
    // call still waiting goes with it.
    m_worker = std::thread([this, job, id] {
        yieldToTheWindow();
        run(*job);
        job->snapshot.reset();
        QMetaObject::invokeMethod(this, [this, id] { finishJob(id); }, Qt::QueuedConnection);
    });
    emit checkingChanged(true);
}

void LiveValidation::run(Job& job)
{
    // Built, read and dropped on this thread.
    const TreeSnapshot::Tree tree = job.snapshot->build();
    if (!job.full) {
        job.outcome.paths = pathsOf(*tree.decisions, &tree.originals);
        return;
    }
    CcValidation validation(*tree.decisions, job.document);
    validation.setSelectorCatalog(job.catalog ? job.catalog : job.snapshot->selectors());
    validation.setPictureNames(job.snapshot->pictures());
    validation.setCompileKVW(job.web);
    validation.setCompileKVD(job.desktop);
    job.outcome = checkAll(*tree.decisions, validation, &tree.originals, &job.cancel);
}

void LiveValidation::StopCheck()
{
    if (stopJob())
        emit checkingChanged(false);
}

bool LiveValidation::stopJob()
{
    if (!m_job)
        return false;
    m_job->cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    m_job.reset();
    return true;
}

void LiveValidation::finishJob(quint64 id)
{
    // A check dropped meanwhile, or one started after it, is not this one.
    if (!m_job || m_job->id != id)
        return;
    if (m_worker.joinable())
        m_worker.join();
    const std::unique_ptr<Job> job = std::move(m_job);
    emit checkingChanged(false);
    if (job->generation != m_generation) {
        // The tree moved on: another pause, another check.
        emit pathsOutdated();
        return;
    }
    if (job->full)
        adopt(job->outcome);
    else
        adoptPaths(std::move(job->outcome.paths));
}

void LiveValidation::SelectorsChanged(const QStringList& names)
{
    ++m_generation;
    if (m_stale)
        return;
    m_validation->ForgetSelectors();
    Controls seeds;
    for (const QString& name : names) {
        const QString folded = name.trimmed().toCaseFolded();
        seeds.unite(m_indexes.selectorUsers.value(folded));
        seeds.unite(m_indexes.headerUsers.value(folded));
    }
    recheck(seeds);
}

void LiveValidation::PicturesChanged(const QStringList& names)
{
    ++m_generation;
    if (m_stale)
        return;
    m_validation->ForgetPictures();
    Controls seeds;
    for (const QString& name : names)
        seeds.unite(m_indexes.pictureUsers.value(name.toUpper()));
    recheck(seeds);
}

void LiveValidation::onAdded(const CmDecisionItem* item)
{
    ++m_generation;
    if (m_stale || !item)
        return;
    // A control joins at the end of the decision order.
    if (m_positionsValid)
        m_positions.insert(item, m_decisions.Count());
    Controls seeds{item};
    addReferrers(seeds, keysOf(item->strID(), item->intID()), false);
    recheck(seeds);
}

void LiveValidation::onRemoved(const CmDecisionItem* item)
{
    ++m_generation;
    if (m_stale || !item)
        return;
    m_positionsValid = false;
    forgetPathRows(item);
    const auto found = m_states.find(item);
    if (found == m_states.end()) {
        recheck({});
        return;
    }
    const ControlState state = std::move(found.value());
    m_states.erase(found);
    unindex(item, state);
    m_errors -= state.errors;
    m_warnings -= state.warnings;
    noteChanged(state.number);
    Controls seeds;
    addReferrers(seeds, state.keys, false);
    for (const QString& shown : state.displayed) {
        if (m_indexes.displayedCount.value(shown) == 0) {
            if (const CmDecisionItem* control = m_decisions.Item(QVariant(shown)))
                seeds.insert(control);
        }
    }
    for (const QString& selector : state.reads.headerSelectors) {
        if (const CmDecisionItem* first = firstUserOf(m_indexes.headerUsers.value(selector.toCaseFolded())))
            seeds.insert(first);
    }
    recheck(seeds);
}

void LiveValidation::onRenamed(const CmDecisionItem* item, const QString& oldName)
{
    ++m_generation;
    if (m_stale || !item)
        return;
    Controls seeds{item};
    addReferrers(seeds, keysOf(oldName, item->intID()), false);
    addReferrers(seeds, keysOf(item->strID(), item->intID()), false);
    recheck(seeds);
}

void LiveValidation::onChanged(const CmDecisionItem* item, const DecisionChange& change)
{
    ++m_generation;
    if (m_stale || !item)
        return;
    Controls seeds{item};
    const QStringList keys = keysOf(item->strID(), item->intID());
    const auto found = m_states.constFind(item);
    // A new number or name is news to every control that names the old or the new one.
    if (found != m_states.cend() && found->keys != keys) {
        addReferrers(seeds, found->keys, false);
        addReferrers(seeds, keys, false);
    } else if (changesWhatValuesNeed(change)) {
        addReferrers(seeds, keys, true);
    }
    recheck(seeds);
}

void LiveValidation::onCleared()
{
    ++m_generation;
    setStale(true);
}

void LiveValidation::recheck(Controls seeds)
{
    QList<const CmDecisionItem*> queue(seeds.cbegin(), seeds.cend());
    int rechecked = 0;
    while (!queue.isEmpty()) {
        const CmDecisionItem* item = queue.takeLast();
        // A control is checked again when a later check in the same change moved what it reads.
        if (!item || !seeds.contains(item))
            continue;
        seeds.remove(item);
        QList<const CmDecisionItem*> more;
        checkOne(item, more);
        ++rechecked;
        for (const CmDecisionItem* next : std::as_const(more)) {
            if (next && !seeds.contains(next)) {
                seeds.insert(next);
                queue.append(next);
            }
        }
    }
    m_lastRecheckCount = rechecked;
    m_pathsStale = true;
    emit findingsChanged();
    emit pathsOutdated();
}

void LiveValidation::checkOne(const CmDecisionItem* item, QList<const CmDecisionItem*>& more)
{
    ControlState old;
    if (const auto found = m_states.find(item); found != m_states.end()) {
        old = std::move(found.value());
        m_states.erase(found);
        unindex(item, old);
        m_errors -= old.errors;
        m_warnings -= old.warnings;
        noteChanged(old.number);
    }
    m_checking = item;
    ControlState state = checked(*m_validation, *item);
    m_checking = nullptr;
    index(m_indexes, item, state, true);
    m_errors += state.errors;
    m_warnings += state.warnings;
    noteChanged(state.number);

    // Being displayed spares a control a warning: the controls shown or no longer shown here.
    if (old.displayed != state.displayed) {
        const QSet<QString> before(old.displayed.cbegin(), old.displayed.cend());
        const QSet<QString> after(state.displayed.cbegin(), state.displayed.cend());
        for (const QString& name : (before - after) | (after - before)) {
            const int now = m_indexes.displayedCount.value(name);
            const int earlier = now - static_cast<int>(state.displayed.count(name)) + static_cast<int>(old.displayed.count(name));
            if ((now > 0) != (earlier > 0)) {
                if (const CmDecisionItem* control = m_decisions.Item(QVariant(name)))
                    more.append(control);
            }
        }
    }
    // A selector's blank header cells belong to its first !KILL or !SORT in decision order.
    if (old.reads.headerSelectors != state.reads.headerSelectors) {
        QSet<QString> before;
        QSet<QString> after;
        for (const QString& selector : std::as_const(old.reads.headerSelectors))
            before.insert(selector.toCaseFolded());
        for (const QString& selector : std::as_const(state.reads.headerSelectors))
            after.insert(selector.toCaseFolded());
        for (const QString& selector : (before - after) | (after - before)) {
            Controls users = m_indexes.headerUsers.value(selector);
            users.remove(item);
            more.append(firstUserOf(users));
        }
    }
    m_states.insert(item, std::move(state));
}

LiveValidation::ControlState LiveValidation::checked(CcValidation& validation, const CmDecisionItem& item)
{
    ControlState state;
    validation.ValidateControl(item, &state.reads);
    state.entries = validation.TakeFindings().entries();
    for (const ValidationFindings::Entry& entry : std::as_const(state.entries))
        ++(entry.isError ? state.errors : state.warnings);
    state.displayed = upperDisplayed(item);
    state.keys = keysOf(item.strID(), item.intID());
    state.number = item.intID();
    return state;
}

void LiveValidation::index(Indexes& into, const CmDecisionItem* item, const ControlState& state, bool displayed,
                           QHash<QString, QString>* keys)
{
    const auto keyOf = [keys](const QString& name) {
        if (!keys)
            return referenceKey(name);
        auto known = keys->constFind(name);
        if (known == keys->cend())
            known = keys->insert(name, referenceKey(name));
        return known.value();
    };
    for (const QString& name : state.reads.controls)
        into.referrers[keyOf(name)].insert(item);
    for (const QString& name : state.reads.valueTargets)
        into.valueReferrers[keyOf(name)].insert(item);
    for (const QString& name : state.reads.selectors)
        into.selectorUsers[name.toCaseFolded()].insert(item);
    for (const QString& name : state.reads.headerSelectors)
        into.headerUsers[name.toCaseFolded()].insert(item);
    if (!state.reads.picture.isEmpty())
        into.pictureUsers[state.reads.picture.toUpper()].insert(item);
    if (displayed) {
        for (const QString& name : state.displayed)
            ++into.displayedCount[name];
    }
}

void LiveValidation::unindex(const CmDecisionItem* item, const ControlState& state)
{
    const auto drop = [item](Index& index, const QString& key) {
        const auto found = index.find(key);
        if (found == index.end())
            return;
        found->remove(item);
        if (found->isEmpty())
            index.erase(found);
    };
    for (const QString& name : state.reads.controls)
        drop(m_indexes.referrers, referenceKey(name));
    for (const QString& name : state.reads.valueTargets)
        drop(m_indexes.valueReferrers, referenceKey(name));
    for (const QString& name : state.reads.selectors)
        drop(m_indexes.selectorUsers, name.toCaseFolded());
    for (const QString& name : state.reads.headerSelectors)
        drop(m_indexes.headerUsers, name.toCaseFolded());
    if (!state.reads.picture.isEmpty())
        drop(m_indexes.pictureUsers, state.reads.picture.toUpper());
    for (const QString& name : state.displayed) {
        const auto found = m_indexes.displayedCount.find(name);
        if (found != m_indexes.displayedCount.end() && --found.value() <= 0)
            m_indexes.displayedCount.erase(found);
    }
}

void LiveValidation::addReferrers(Controls& into, const QStringList& keys, bool valueOnly) const
{
    for (const QString& key : keys) {
        into.unite(m_indexes.valueReferrers.value(key));
        if (!valueOnly)
            into.unite(m_indexes.referrers.value(key));
    }
}

QString LiveValidation::referenceKey(const QString& reference)
{
    // As the manager reads a name: a text that spells a number goes by the control's number.
    if (MCommonUtil::IsNumeric(reference)) {
        const double number = reference.trimmed().toDouble();
        if (std::isfinite(number) && std::abs(number) < double(std::numeric_limits<int>::max()))
            return QLatin1Char('#') + QString::number(static_cast<int>(std::nearbyint(number)));
    }
    return reference.trimmed().toUpper();
}

QStringList LiveValidation::keysOf(const QString& name, qint16 number)
{
    return {CmDecisionManager::keyFor(name, number), QLatin1Char('#') + QString::number(number)};
}

bool LiveValidation::firstHeaderUser(const QString& foldedSelector, const CmDecisionItem* item) const
{
    if (!item)
        return true;
    const int position = positionOf(item);
    for (const CmDecisionItem* user : m_indexes.headerUsers.value(foldedSelector)) {
        if (user != item && positionOf(user) < position)
            return false;
    }
    return true;
}

const CmDecisionItem* LiveValidation::firstUserOf(const Controls& users) const
{
    const CmDecisionItem* first = nullptr;
    int firstPosition = std::numeric_limits<int>::max();
    for (const CmDecisionItem* user : users) {
        const int position = positionOf(user);
        if (position < firstPosition) {
            first = user;
            firstPosition = position;
        }
    }
    return first;
}

int LiveValidation::positionOf(const CmDecisionItem* item) const
{
    if (!m_positionsValid) {
        m_positions.clear();
        const int count = m_decisions.Count();
        m_positions.reserve(count);
        for (int position = 1; position <= count; ++position)
            m_positions.insert(m_decisions.ItemByIndex(position), position);
        m_positionsValid = true;
    }
    return m_positions.value(item, std::numeric_limits<int>::max());
}

void LiveValidation::forgetPathRows(const CmDecisionItem* item)
{
    if (!m_pathCounts.remove(item))
        return;
    m_pathRows.removeIf([item](const Row& row) { return row.control == item; });
}

QList<LiveValidation::Row> LiveValidation::Rows() const
{
    QList<Row> rows;
    rows.reserve(m_errors + m_warnings + m_pathRows.size());
    const int count = m_decisions.Count();
    for (int position = 1; position <= count; ++position) {
        const CmDecisionItem* item = m_decisions.ItemByIndex(position);
        const auto found = m_states.constFind(item);
        if (found == m_states.cend())
            continue;
        for (const ValidationFindings::Entry& entry : found->entries)
            rows.append({entry, item, item->intID()});
    }
    rows.append(m_pathRows);
    return rows;
}

QList<ValidationFindings::Entry> LiveValidation::Findings() const
{
    QList<ValidationFindings::Entry> entries;
    for (const Row& row : Rows())
        entries.append(row.entry);
    return entries;
}

LiveValidation::Mark LiveValidation::MarkOf(const CmDecisionItem& decision) const
{
    const auto found = m_states.constFind(&decision);
    if (found != m_states.cend() && found->errors > 0)
        return Mark::Error;
    if ((found != m_states.cend() && found->warnings > 0) || m_pathCounts.value(&decision) > 0)
        return Mark::Warning;
    return Mark::None;
}

QSet<qint16> LiveValidation::TakeChangedNumbers()
{
    return std::exchange(m_changedNumbers, {});
}
