#include "vcs/ProjectMerge.h"

#include "model/CmDecisionManager.h"
#include "selectors/SelectorNames.h"
#include "vcs/ControlProperties.h"
#include "vcs/LineMerge.h"
#include "vcs/ProjectSettings.h"
#include "vcs/ProjectText.h"
#include "vcs/ReferenceUpdate.h"
#include "vcs/TextEscape.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>

namespace {

const QString Removed = QStringLiteral("(removed)");
const QString Absent = QStringLiteral("(none)");

template <typename Value>
bool sameValue(const Value* a, const Value* b)
{
    return (!a && !b) || (a && b && *a == *b);
}

// The three-way rule for one value, nullptr standing for "not there": a change on one side
// wins, the same change on both is one change, and different changes keep ours.
template <typename Value>
const Value* pick(const Value* base, const Value* ours, const Value* theirs, bool& conflict)
{
    conflict = false;
    if (sameValue(ours, theirs) || sameValue(base, theirs))
        return ours;
    if (sameValue(base, ours))
        return theirs;
    conflict = true;
    return ours;
}

// Items in their merged order: ours' order, and each item only theirs added placed after the
// nearest item before it in theirs' order, past the items ours added right there.
template <typename Item>
class KeyedMerge {
public:
    using KeyOf = std::function<QString(const Item&)>;
    // Gives the merged item for a key, or nothing when it goes; records its conflicts itself.
    using Combine = std::function<std::optional<Item>(const Item* base, const Item* ours, const Item* theirs)>;

    static std::vector<Item> run(const std::vector<Item>& base, const std::vector<Item>& ours,
                                 const std::vector<Item>& theirs, const KeyOf& keyOf, const Combine& combine)
    {
        QHash<QString, const Item*> inBase;
        QHash<QString, const Item*> inOurs;
        QHash<QString, const Item*> inTheirs;
        for (const Item& item : base)
            inBase.insert(keyOf(item), &item);
        for (const Item& item : ours)
            inOurs.insert(keyOf(item), &item);
        for (const Item& item : theirs)
            inTheirs.insert(keyOf(item), &item);

        std::vector<Item> kept;
        std::vector<bool> addedByOurs;
        QHash<QString, qsizetype> keptAt;
        for (const Item& item : ours) {
            const QString key = keyOf(item);
            std::optional<Item> merged = combine(inBase.value(key), &item, inTheirs.value(key));
            if (!merged)
                continue;
            keptAt.insert(key, static_cast<qsizetype>(kept.size()));
            kept.push_back(std::move(*merged));
            addedByOurs.push_back(!inBase.contains(key));
        }
        // What ours removed: only its conflicts matter, ours being kept.
        for (const Item& item : base) {
            const QString key = keyOf(item);
            if (!inOurs.contains(key))
                combine(&item, nullptr, inTheirs.value(key));
        }
        const auto count = static_cast<qsizetype>(kept.size());
        // anchor[i]: the last of the items ours added right after item i (i itself without).
        std::vector<qsizetype> anchor(static_cast<size_t>(count));
        for (qsizetype i = count - 1; i >= 0; --i) {
            const bool nextAdded = i + 1 < count && addedByOurs[static_cast<size_t>(i + 1)];
            anchor[static_cast<size_t>(i)] = nextAdded ? anchor[static_cast<size_t>(i + 1)] : i;
        }
        const qsizetype head = count > 0 && addedByOurs[0] ? anchor[0] : -1;
        // after[i + 1]: theirs' additions after kept item i; after[0] before them all.
        std::vector<std::vector<Item>> after(static_cast<size_t>(count + 1));
        qsizetype slot = head;
        for (const Item& item : theirs) {
            const QString key = keyOf(item);
            if (const auto at = keptAt.constFind(key); at != keptAt.constEnd()) {
                slot = anchor[static_cast<size_t>(at.value())];
                continue;
            }
            if (inBase.contains(key) || inOurs.contains(key))
                continue;
            if (std::optional<Item> merged = combine(nullptr, nullptr, &item))
                after[static_cast<size_t>(slot + 1)].push_back(std::move(*merged));
        }
        std::vector<Item> result;
        result.reserve(static_cast<size_t>(count) + after.front().size());
        const auto flush = [&result](std::vector<Item>& added) {
            for (Item& item : added)
                result.push_back(std::move(item));
        };
        flush(after.front());
        for (qsizetype i = 0; i < count; ++i) {
            result.push_back(std::move(kept[static_cast<size_t>(i)]));
            flush(after[static_cast<size_t>(i + 1)]);
        }
        return result;
    }
};

QString controlPlace(const ControlData& control)
{
    return control.name.isEmpty() ? QStringLiteral("control %1").arg(control.id)
                                  : QStringLiteral("control %1 %2").arg(control.id).arg(control.name);
}

QString controlKey(const ControlData& control)
{
    return QString::number(control.id);
}

QHash<qint16, const ControlData*> byId(const ProjectData& project)
{
    QHash<qint16, const ControlData*> controls;
    controls.reserve(static_cast<qsizetype>(project.controls.size()));
    for (const ControlData& control : project.controls)
        controls.insert(control.id, &control);
    return controls;
}

const QRectF* placeOf(const ProjectData& project, qint16 id)
{
    const auto found = project.layout.find(id);
    return found == project.layout.end() ? nullptr : &found->second;
}

class Merger {
public:
    Merger(const ProjectData& base, const ProjectData& ours, const ProjectData& theirs)
        : m_base(base), m_ours(ours), m_theirs(theirs)
    {
    }

    MergeOutcome run()
    {
        renumberTheirs();
        carryRenames();
        MergeOutcome outcome;
        ProjectData& merged = outcome.merged;
        mergeSettings(merged);
        mergeControls(merged);
        mergeSelectors(merged);
        mergeUnits<ExternalSelectorData>(m_base.externalSelectors, m_ours.externalSelectors, m_theirs.externalSelectors,
                                         merged.externalSelectors, QStringLiteral("external selector"),
                                         [](const ExternalSelectorData& item) { return item.name.toUpper(); },
                                         [](const ExternalSelectorData& item) { return item.name; },
                                         [](const ExternalSelectorData& item) { return item.lines.join(QLatin1Char('\n')); });
        mergeUnits<PictureData>(m_base.pictures, m_ours.pictures, m_theirs.pictures, merged.pictures,
                                QStringLiteral("picture"), [](const PictureData& item) { return item.name.toUpper(); },
                                [](const PictureData& item) { return item.name; },
                                [](const PictureData& item) { return item.sha256; });
        std::vector<Journey> journeys;
        mergeUnits<Journey>(std::vector<Journey>(m_base.journeys.begin(), m_base.journeys.end()),
                            std::vector<Journey>(m_ours.journeys.begin(), m_ours.journeys.end()),
                            std::vector<Journey>(m_theirs.journeys.begin(), m_theirs.journeys.end()), journeys,
                            QStringLiteral("journey"), [](const Journey& item) { return item.name; },
                            [](const Journey& item) { return item.name; },
                            [](const Journey& item) { return ProjectText::JourneyLines(item).join(QLatin1Char('\n')); });
        merged.journeys = QList<Journey>(journeys.begin(), journeys.end());
        // The storage lists these by name.
        byName(merged.selectors);
        byName(merged.externalSelectors);
        byName(merged.pictures);
        outcome.conflicts = std::move(m_conflicts);
        outcome.renumbered = std::move(m_renumbered);
        return outcome;
    }

private:
    template <typename Item>
    static void byName(std::vector<Item>& items)
    {
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
    }

    void conflict(const QString& place, const QString& property, const QString& ours, const QString& theirs)
    {
        m_conflicts.append({place, property, ours, theirs});
    }

    // Controls both sides added under one number are one control when their names agree;
    // otherwise theirs takes the next number free on all three sides.
    void renumberTheirs()
    {
        const auto baseIds = byId(m_base);
        const auto ourIds = byId(m_ours);
        qint16 highest = 0;
        for (const ProjectData* project : {&m_base, &m_ours, &m_theirs}) {
            for (const ControlData& control : project->controls)
                highest = std::max(highest, control.id);
        }
        QHash<qint16, qint16> numbers;
        for (const ControlData& control : m_theirs.controls) {
            const ControlData* ourControl = ourIds.value(control.id);
            if (baseIds.contains(control.id) || !ourControl)
                continue;
            if (CmDecisionManager::keyFor(ourControl->name, ourControl->id) == CmDecisionManager::keyFor(control.name, control.id))
                continue;
            if (highest == std::numeric_limits<qint16>::max()) {
                conflict(controlPlace(control), QStringLiteral("number"), controlPlace(*ourControl),
                         QStringLiteral("no number left for it"));
                continue;
            }
            ++highest;
            numbers.insert(control.id, highest);
            m_renumbered.append({control.id, highest});
        }
        Renumber::apply(m_theirs, numbers);
    }

    // Every rename either side made reaches the other side's lines (and base's), so that what
    // is left to compare are the authors' own edits. A name both sides would give two controls
    // stays ours: theirs' rename is dropped, or the control theirs added takes the next free name.
    void carryRenames()
    {
        const auto baseIds = byId(m_base);
        const auto ourIds = byId(m_ours);
        const auto theirIds = byId(m_theirs);

        QHash<qint16, QString> ourRenames;
        QHash<qint16, QString> theirRenames;
        for (const ControlData& control : m_ours.controls) {
            const ControlData* before = baseIds.value(control.id);
            if (before && before->name != control.name)
                ourRenames.insert(control.id, control.name);
        }
        for (const ControlData& control : m_theirs.controls) {
            const ControlData* before = baseIds.value(control.id);
            if (before && before->name != control.name)
                theirRenames.insert(control.id, control.name);
        }
        // Both renamed one control: ours is kept.
        for (auto rename = theirRenames.begin(); rename != theirRenames.end();) {
            const auto ourRename = ourRenames.constFind(rename.key());
            if (ourRename != ourRenames.constEnd() && ourRename.value() != rename.value()) {
                conflict(controlPlace(*ourIds.value(rename.key())), ControlProperties::Name, ourRename.value(), rename.value());
                rename = theirRenames.erase(rename);
            } else if (ourRename != ourRenames.constEnd() || !ourIds.contains(rename.key())) {
                // The same rename, or one of a control ours removed: nothing to carry to ours.
                rename = theirRenames.erase(rename);
            } else {
                ++rename;
            }
        }

        // The names the merged controls would have, and who gave each.
        QHash<QString, qint16> oursByKey;
        for (const ControlData& control : m_ours.controls) {
            const ControlData* before = baseIds.value(control.id);
            // A control ours left as it was and theirs removed is gone.
            if (before && !theirIds.contains(control.id) && *before == control)
                continue;
            // A name theirs' rename takes away is not ours' to keep.
            if (!theirRenames.contains(control.id))
                oursByKey.insert(CmDecisionManager::keyFor(control.name, control.id), control.id);
        }
        ReferenceUpdate theirFixes;
        QSet<QString> taken;
        for (const ProjectData* project : {&m_base, &m_ours, &m_theirs}) {
            for (const ControlData& control : project->controls)
                taken.insert(control.name.toUpper());
        }
        QHash<qint16, QString> theirNewNames;
        for (const ControlData& control : m_theirs.controls) {
            const bool added = !baseIds.contains(control.id) && !ourIds.contains(control.id);
            const bool renamed = theirRenames.contains(control.id);
            if (!added && !renamed)
                continue;
            const QString key = CmDecisionManager::keyFor(control.name, control.id);
            const qint16 holder = oursByKey.value(key, 0);
            if (holder == 0 || holder == control.id)
                continue;
            const ControlData& ourControl = *ourIds.value(holder);
            if (renamed) {
                // A rename is of a control the base has; the guard is for the optimiser.
                const ControlData* base = baseIds.value(control.id);
                const QString baseName = base ? base->name : control.name;
                conflict(controlPlace(control), ControlProperties::Name,
                         QStringLiteral("%1 (the name of %2)").arg(baseName, controlPlace(ourControl)), control.name);
                theirRenames.remove(control.id);
                theirFixes.add(control.name, baseName);
                theirNewNames.insert(control.id, baseName);
            } else {
                QString fresh = control.name;
                while (taken.contains(fresh.toUpper()))
                    fresh = SelectorNames::GetNextID(fresh);
                taken.insert(fresh.toUpper());
                conflict(controlPlace(control), ControlProperties::Name,
                         QStringLiteral("%1 (the name of %2)").arg(control.name, controlPlace(ourControl)), fresh);
                theirFixes.add(control.name, fresh);
                theirNewNames.insert(control.id, fresh);
            }
        }
        theirFixes.applyTo(m_theirs);
        rename(m_theirs, theirNewNames);

        ReferenceUpdate intoTheirs;
        ReferenceUpdate intoOurs;
        ReferenceUpdate intoBase;
        QHash<qint16, QString> theirNames;
        QHash<qint16, QString> ourNames;
        QHash<qint16, QString> baseNames;
        const auto theirIdsNow = byId(m_theirs);
        for (auto rename = ourRenames.constBegin(); rename != ourRenames.constEnd(); ++rename) {
            const QString& baseName = baseIds.value(rename.key())->name;
            const ControlData* theirControl = theirIdsNow.value(rename.key());
            intoTheirs.add(theirControl ? theirControl->name : baseName, rename.value());
            intoBase.add(baseName, rename.value());
            theirNames.insert(rename.key(), rename.value());
            baseNames.insert(rename.key(), rename.value());
        }
        for (auto rename = theirRenames.constBegin(); rename != theirRenames.constEnd(); ++rename) {
            const QString& baseName = baseIds.value(rename.key())->name;
            intoOurs.add(baseName, rename.value());
            intoBase.add(baseName, rename.value());
            ourNames.insert(rename.key(), rename.value());
            baseNames.insert(rename.key(), rename.value());
        }
        intoTheirs.applyTo(m_theirs);
        intoOurs.applyTo(m_ours);
        intoBase.applyTo(m_base);
        rename(m_theirs, theirNames);
        rename(m_ours, ourNames);
        rename(m_base, baseNames);
    }

    static void rename(ProjectData& project, const QHash<qint16, QString>& names)
    {
        if (names.isEmpty())
            return;
        for (ControlData& control : project.controls) {
            if (const auto name = names.constFind(control.id); name != names.constEnd())
                control.name = name.value();
        }
    }

    void mergeSettings(ProjectData& merged)
    {
        QStringList keys;
        for (const ProjectData* project : {&m_ours, &m_theirs, &m_base}) {
            for (const auto& [key, value] : project->settings) {
                if (!keys.contains(key))
                    keys.append(key);
            }
        }
        QList<TextProperty> settings;
        for (const QString& key : keys) {
            bool clash = false;
            // The name follows the file a project is saved as: the merged project is ours.
            const QString* value = key == ProjectSettings::Name && m_ours.setting(key)
                ? m_ours.setting(key)
                : pick(m_base.setting(key), m_ours.setting(key), m_theirs.setting(key), clash);
            if (clash)
                conflict(QStringLiteral("project"), key, describe(m_ours.setting(key)), describe(m_theirs.setting(key)));
            if (value)
                settings.append({key, *value});
        }
        // The written order: ours', then what only theirs has, where the base had it or at the end.
        const auto rank = [&](const QString& key) {
            for (const ProjectData* project : {&m_ours, &m_theirs, &m_base}) {
                for (qsizetype i = 0; i < project->settings.size(); ++i) {
                    if (project->settings.at(i).first == key)
                        return i;
                }
            }
            return qsizetype(0);
        };
        std::stable_sort(settings.begin(), settings.end(),
                         [&](const TextProperty& a, const TextProperty& b) { return rank(a.first) < rank(b.first); });
        merged.settings = settings;
    }

    static QString describe(const QString* value)
    {
        return value ? *value : Absent;
    }

    void mergeControls(ProjectData& merged)
    {
        const auto placeChanged = [this](qint16 id, const ProjectData& side) {
            return !sameValue(placeOf(m_base, id), placeOf(side, id));
        };
        merged.controls = KeyedMerge<ControlData>::run(
            m_base.controls, m_ours.controls, m_theirs.controls, controlKey,
            [&](const ControlData* base, const ControlData* ours, const ControlData* theirs) -> std::optional<ControlData> {
                if (ours && theirs)
                    return mergeControl(base, *ours, *theirs, merged);
                if (!ours && !theirs)
                    return std::nullopt;
                if (!base)
                    return takeWithPlace(ours ? *ours : *theirs, ours ? m_ours : m_theirs, merged);
                // Removed on one side: kept only when ours changed what theirs removed.
                const ControlData& side = ours ? *ours : *theirs;
                const bool changed = !(side == *base) || placeChanged(base->id, ours ? m_ours : m_theirs);
                if (!changed)
                    return std::nullopt;
                conflict(controlPlace(side), QStringLiteral("control"), ours ? QStringLiteral("(changed)") : Removed,
                         ours ? Removed : QStringLiteral("(changed)"));
                if (!ours)
                    return std::nullopt;
                return takeWithPlace(*ours, m_ours, merged);
            });
    }

    static std::optional<ControlData> takeWithPlace(const ControlData& control, const ProjectData& side, ProjectData& merged)
    {
        if (const QRectF* place = placeOf(side, control.id))
            merged.layout.insert_or_assign(control.id, *place);
        return control;
    }

    ControlData mergeControl(const ControlData* base, const ControlData& ours, const ControlData& theirs, ProjectData& merged)
    {
        ControlData control = ours;
        const QString place = controlPlace(ours);
        bool clash = false;
        if (!base && ours.name != theirs.name) {
            conflict(place, ControlProperties::Name, ours.name, theirs.name);
        }
        for (const QString& key : ControlProperties::Keys()) {
            const QString* value = pick(base ? base->value(key) : nullptr, ours.value(key), theirs.value(key), clash);
            if (clash)
                conflict(place, key, describe(ours.value(key)), describe(theirs.value(key)));
            control.setValue(key, value ? std::optional<QString>(*value) : std::nullopt);
        }
        const LineMerge::Merged lines = LineMerge::Merge(base ? base->lines : QStringList(), ours.lines, theirs.lines);
        control.lines = lines.lines;
        for (const LineMerge::Conflict& lineConflict : lines.conflicts)
            conflict(place, ControlProperties::Lines, lineConflict.ours.join(QLatin1Char('\n')),
                     lineConflict.theirs.join(QLatin1Char('\n')));
        const QRectF* placed = pick(base ? placeOf(m_base, base->id) : nullptr, placeOf(m_ours, ours.id),
                                    placeOf(m_theirs, theirs.id), clash);
        if (clash)
            conflict(place, QStringLiteral("layout"), ProjectText::PlaceText(*placeOf(m_ours, ours.id)),
                     placeOf(m_theirs, theirs.id) ? ProjectText::PlaceText(*placeOf(m_theirs, theirs.id)) : Absent);
        if (placed)
            merged.layout.insert_or_assign(control.id, *placed);
        return control;
    }

    // A keyed list whose items merge whole: a change on one side wins, two different changes
    // (or a removal and a change) keep ours.
    template <typename Item>
    void mergeUnits(const std::vector<Item>& base, const std::vector<Item>& ours, const std::vector<Item>& theirs,
                    std::vector<Item>& merged, const QString& kind, const std::function<QString(const Item&)>& keyOf,
                    const std::function<QString(const Item&)>& nameOf, const std::function<QString(const Item&)>& content)
    {
        merged = KeyedMerge<Item>::run(base, ours, theirs, keyOf,
                                       [&](const Item* b, const Item* o, const Item* t) -> std::optional<Item> {
                                           bool clash = false;
                                           const Item* value = pick(b, o, t, clash);
                                           if (clash) {
                                               const Item& named = o ? *o : *t;
                                               conflict(kind + QLatin1Char(' ') + nameOf(named), kind,
                                                        o ? content(*o) : Removed, t ? content(*t) : Removed);
                                           }
                                           return value ? std::optional<Item>(*value) : std::nullopt;
                                       });
    }

    using Row = SelectorData::Row;

    void mergeSelectors(ProjectData& merged)
    {
        merged.selectors = KeyedMerge<SelectorData>::run(
            m_base.selectors, m_ours.selectors, m_theirs.selectors,
            [](const SelectorData& item) { return item.name.toUpper(); },
            [&](const SelectorData* base, const SelectorData* ours, const SelectorData* theirs) -> std::optional<SelectorData> {
                if (ours && theirs)
                    return mergeSelector(base, *ours, *theirs);
                bool clash = false;
                const SelectorData* value = pick(base, ours, theirs, clash);
                if (clash)
                    conflict(QStringLiteral("selector ") + (ours ? ours->name : theirs->name), QStringLiteral("selector"),
                             ours ? QStringLiteral("(changed)") : Removed, theirs ? QStringLiteral("(changed)") : Removed);
                return value ? std::optional<SelectorData>(*value) : std::nullopt;
            });
    }

    SelectorData mergeSelector(const SelectorData* base, const SelectorData& ours, const SelectorData& theirs)
    {
        const QString place = QStringLiteral("selector ") + ours.name;
        const auto header = [](const SelectorData* selector) -> std::optional<QStringList> {
            if (!selector || selector->rows.isEmpty())
                return std::nullopt;
            return selector->rows.first();
        };
        const std::optional<QStringList> baseHeader = header(base);
        const std::optional<QStringList> ourHeader = header(&ours);
        const std::optional<QStringList> theirHeader = header(&theirs);
        bool clash = false;
        const std::optional<QStringList>* mergedHeader = pick(&baseHeader, &ourHeader, &theirHeader, clash);
        if (clash)
            conflict(place, QStringLiteral("header"), ourHeader ? ProjectText::RowText(*ourHeader) : Absent,
                     theirHeader ? ProjectText::RowText(*theirHeader) : Absent);
        // Cell by cell only while the columns mean the same on all three sides.
        const bool byCell = baseHeader && baseHeader == ourHeader && baseHeader == theirHeader;
        const std::vector<Row> rows = KeyedMerge<Row>::run(
            base ? base->itemRows() : std::vector<Row>(), ours.itemRows(), theirs.itemRows(),
            [](const Row& row) { return row.key; },
            [&](const Row* b, const Row* o, const Row* t) -> std::optional<Row> {
                if (b && o && t && byCell)
                    return mergeCells(place, *baseHeader, *b, *o, *t);
                bool rowClash = false;
                const Row* value = pick(b, o, t, rowClash);
                if (rowClash)
                    conflict(place, QStringLiteral("row ") + (o ? o->key : t->key),
                             o ? ProjectText::RowText(o->cells) : Removed, t ? ProjectText::RowText(t->cells) : Removed);
                return value ? std::optional<Row>(*value) : std::nullopt;
            });
        SelectorData selector{ours.name, {}};
        if (*mergedHeader)
            selector.rows.append(**mergedHeader);
        for (const Row& row : rows)
            selector.rows.append(row.cells);
        return selector;
    }

    Row mergeCells(const QString& place, const QStringList& header, const Row& base, const Row& ours, const Row& theirs)
    {
        Row row = ours;
        const qsizetype width = std::max({base.cells.size(), ours.cells.size(), theirs.cells.size()});
        QStringList cells;
        for (qsizetype i = 0; i < width; ++i) {
            const auto cell = [i](const Row& side) { return i < side.cells.size() ? &side.cells.at(i) : nullptr; };
            bool clash = false;
            const QString* value = pick(cell(base), cell(ours), cell(theirs), clash);
            if (clash)
                conflict(place, QStringLiteral("row %1, %2").arg(ours.key, header.value(i, QString::number(i + 1))),
                         describe(cell(ours)), describe(cell(theirs)));
            if (value)
                cells.append(*value);
        }
        row.cells = cells;
        return row;
    }

    ProjectData m_base;
    ProjectData m_ours;
    ProjectData m_theirs;
    QList<MergeConflict> m_conflicts;
    QList<std::pair<qint16, qint16>> m_renumbered;
};

} // namespace

QString MergeConflict::text() const
{
    return QStringLiteral("%1: %2: ours %3, theirs %4")
        .arg(place, property, TextEscape::escaped(ours), TextEscape::escaped(theirs));
}

MergeOutcome ProjectMerge::Merge(const ProjectData& base, const ProjectData& ours, const ProjectData& theirs)
{
    return Merger(base, ours, theirs).run();
}
