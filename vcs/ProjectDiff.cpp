#include "vcs/ProjectDiff.h"

#include "vcs/ControlProperties.h"
#include "vcs/LineMerge.h"
#include "vcs/ProjectText.h"
#include "vcs/ReferenceUpdate.h"
#include "vcs/TextEscape.h"

#include <QHash>
#include <QSet>

namespace {

// Beyond this many names a list of updated controls is cut short.
constexpr qsizetype NamesShown = 10;

QString controlTitle(const ControlData& control)
{
    return control.name.isEmpty() ? QString::number(control.id)
                                  : QString::number(control.id) + QLatin1Char(' ') + control.name;
}

class Writer {
public:
    Writer(const ProjectData& from, const ProjectData& to) : m_from(from), m_to(to) {}

    QString run()
    {
        carryRenames();
        settings();
        controls();
        selectors();
        units();
        layout();
        journeys();
        return m_text;
    }

    // The control whose entry each top-level line begins, by that line's place among them.
    const QHash<qsizetype, qint16>& controlEntries() const { return m_controlEntries; }

private:
    void line(int depth, const QString& text)
    {
        if (depth == 0)
            ++m_entries;
        m_text += QString(depth * 2, QLatin1Char(' '));
        m_text += text;
        m_text += QLatin1Char('\n');
    }

    void controlLine(qint16 control, const QString& text)
    {
        m_controlEntries.insert(m_entries, control);
        line(0, text);
    }

    void removedLine(int depth, const QString& value) { line(depth, QLatin1String("- ") + TextEscape::escaped(value)); }
    void addedLine(int depth, const QString& value) { line(depth, QLatin1String("+ ") + TextEscape::escaped(value)); }

    void change(int depth, const QString& title, const QString* before, const QString* after)
    {
        line(depth, title);
        if (before)
            removedLine(depth + 1, *before);
        if (after)
            addedLine(depth + 1, *after);
    }

    void lineChanges(int depth, const QStringList& before, const QStringList& after)
    {
        for (const LineMerge::Edit& edit : LineMerge::Diff(before, after)) {
            if (edit.kind == LineMerge::Edit::Kind::Removed)
                removedLine(depth, edit.line);
            else if (edit.kind == LineMerge::Edit::Kind::Added)
                addedLine(depth, edit.line);
        }
    }

    // The old side with every rename and its reference updates made, so that only the
    // authors' own edits are left to show.
    void carryRenames()
    {
        m_renamed = m_from;
        QHash<qint16, const ControlData*> newIds;
        for (const ControlData& control : m_to.controls)
            newIds.insert(control.id, &control);
        ReferenceUpdate renames;
        for (ControlData& control : m_renamed.controls) {
            const ControlData* after = newIds.value(control.id);
            if (after && after->name != control.name) {
                renames.add(control.name, after->name);
                m_renames.append({control.id, control.name});
            }
        }
        m_updated = renames.applyTo(m_renamed);
        for (ControlData& control : m_renamed.controls) {
            if (const ControlData* after = newIds.value(control.id))
                control.name = after->name;
        }
    }

    void settings()
    {
        QStringList keys;
        for (const ProjectData* project : {&m_from, &m_to}) {
            for (const auto& setting : project->settings) {
                if (!keys.contains(setting.first))
                    keys.append(setting.first);
            }
        }
        bool titled = false;
        for (const QString& key : keys) {
            const QString* before = m_from.setting(key);
            const QString* after = m_to.setting(key);
            if ((!before && !after) || (before && after && *before == *after))
                continue;
            if (!titled)
                line(0, QStringLiteral("changed project settings"));
            titled = true;
            change(1, key, before, after);
        }
    }

    void controls()
    {
        QHash<qint16, const ControlData*> oldIds;
        for (const ControlData& control : m_renamed.controls)
            oldIds.insert(control.id, &control);
        QHash<qint16, QString> oldNames;
        for (const auto& [id, name] : m_renames)
            oldNames.insert(id, name);
        QSet<qint16> present;
        for (const ControlData& after : m_to.controls) {
            present.insert(after.id);
            const ControlData* before = oldIds.value(after.id);
            if (!before) {
                added(after);
                continue;
            }
            if (const auto oldName = oldNames.constFind(after.id); oldName != oldNames.constEnd())
                renamed(after, oldName.value());
            if (!(*before == after))
                changed(*before, after);
        }
        for (const ControlData& before : m_from.controls) {
            if (!present.contains(before.id))
                controlLine(before.id, QStringLiteral("removed control ") + controlTitle(before));
        }
    }

    void added(const ControlData& control)
    {
        controlLine(control.id, QStringLiteral("added control ") + controlTitle(control));
        for (const auto& [key, value] : control.properties)
            line(1, QStringLiteral("+ %1: %2").arg(key, TextEscape::escaped(value)));
        for (const QString& text : control.lines)
            addedLine(1, text);
    }

    void renamed(const ControlData& control, const QString& oldName)
    {
        if (oldName.isEmpty())
            controlLine(control.id, QStringLiteral("named control %1 %2").arg(control.id).arg(control.name));
        else if (control.name.isEmpty())
            controlLine(control.id, QStringLiteral("unnamed control %1 %2").arg(control.id).arg(oldName));
        else
            controlLine(control.id, QStringLiteral("renamed control %1 %2 to %3").arg(control.id).arg(oldName, control.name));
        QStringList names;
        for (const ControlData& holder : m_to.controls) {
            if (m_updated.contains(holder.id))
                names.append(holder.name.isEmpty() ? QString::number(holder.id) : holder.name);
        }
        if (names.isEmpty())
            return;
        const qsizetype more = names.size() - NamesShown;
        if (more > 0)
            names = names.mid(0, NamesShown) << QStringLiteral("and %1 more").arg(more);
        line(1, QStringLiteral("references updated in: ") + names.join(QLatin1String(", ")));
    }

    void changed(const ControlData& before, const ControlData& after)
    {
        controlLine(after.id, QStringLiteral("changed control ") + controlTitle(after));
        for (const QString& key : ControlProperties::Keys()) {
            const QString* old = before.value(key);
            const QString* now = after.value(key);
            if ((old || now) && !(old && now && *old == *now))
                change(1, key, old, now);
        }
        if (before.lines != after.lines) {
            line(1, ControlProperties::Lines);
            lineChanges(2, before.lines, after.lines);
        }
    }

    using Row = SelectorData::Row;

    void selectors()
    {
        QHash<QString, const SelectorData*> oldSelectors;
        for (const SelectorData& selector : m_from.selectors)
            oldSelectors.insert(selector.name.toUpper(), &selector);
        QSet<QString> present;
        for (const SelectorData& after : m_to.selectors) {
            present.insert(after.name.toUpper());
            const SelectorData* before = oldSelectors.value(after.name.toUpper());
            if (!before) {
                line(0, QStringLiteral("added selector ") + after.name);
                for (const QStringList& row : after.rows)
                    line(1, QLatin1String("+ ") + ProjectText::RowText(row));
            } else if (!(*before == after)) {
                selectorChanges(*before, after);
            }
        }
        for (const SelectorData& before : m_from.selectors) {
            if (!present.contains(before.name.toUpper()))
                line(0, QStringLiteral("removed selector ") + before.name);
        }
    }

    void selectorChanges(const SelectorData& before, const SelectorData& after)
    {
        line(0, QStringLiteral("changed selector ") + after.name);
        const QStringList oldHeader = before.rows.value(0);
        const QStringList newHeader = after.rows.value(0);
        if (oldHeader != newHeader) {
            line(1, QStringLiteral("header"));
            line(2, QLatin1String("- ") + ProjectText::RowText(oldHeader));
            line(2, QLatin1String("+ ") + ProjectText::RowText(newHeader));
        }
        const std::vector<Row> oldRows = before.itemRows();
        const std::vector<Row> newRows = after.itemRows();
        QHash<QString, const Row*> oldByKey;
        for (const Row& row : oldRows)
            oldByKey.insert(row.key, &row);
        QSet<QString> present;
        for (const Row& row : newRows) {
            present.insert(row.key);
            const Row* old = oldByKey.value(row.key);
            if (!old) {
                line(1, QStringLiteral("added row: ") + ProjectText::RowText(row.cells));
            } else if (old->cells != row.cells) {
                line(1, QStringLiteral("changed row ") + TextEscape::escaped(row.key));
                line(2, QLatin1String("- ") + ProjectText::RowText(old->cells));
                line(2, QLatin1String("+ ") + ProjectText::RowText(row.cells));
            }
        }
        for (const Row& row : oldRows) {
            if (!present.contains(row.key))
                line(1, QStringLiteral("removed row: ") + ProjectText::RowText(row.cells));
        }
    }

    template <typename Item>
    void unitChanges(const std::vector<Item>& before, const std::vector<Item>& after, const QString& kind,
                     const std::function<QString(const Item&)>& describe)
    {
        QHash<QString, const Item*> oldItems;
        for (const Item& item : before)
            oldItems.insert(item.name.toUpper(), &item);
        QSet<QString> present;
        for (const Item& item : after) {
            present.insert(item.name.toUpper());
            const Item* old = oldItems.value(item.name.toUpper());
            if (!old) {
                line(0, QStringLiteral("added %1 %2").arg(kind, item.name));
            } else if (!(*old == item)) {
                line(0, QStringLiteral("changed %1 %2").arg(kind, item.name));
                const QString was = describe(*old);
                const QString now = describe(item);
                lineChanges(1, was.split(QLatin1Char('\n')), now.split(QLatin1Char('\n')));
            }
        }
        for (const Item& item : before) {
            if (!present.contains(item.name.toUpper()))
                line(0, QStringLiteral("removed %1 %2").arg(kind, item.name));
        }
    }

    void units()
    {
        unitChanges<ExternalSelectorData>(m_from.externalSelectors, m_to.externalSelectors,
                                          QStringLiteral("external selector"),
                                          [](const ExternalSelectorData& item) { return item.shownLines().join(QLatin1Char('\n')); });
        unitChanges<PictureData>(m_from.pictures, m_to.pictures, QStringLiteral("picture"), [](const PictureData& item) {
            return QStringLiteral("sha256: %1\nsize: %2").arg(item.sha256).arg(item.size);
        });
    }

    void journeys()
    {
        unitChanges<Journey>(std::vector<Journey>(m_from.journeys.begin(), m_from.journeys.end()),
                             std::vector<Journey>(m_to.journeys.begin(), m_to.journeys.end()), QStringLiteral("journey"),
                             [](const Journey& item) { return ProjectText::JourneyLines(item).join(QLatin1Char('\n')); });
    }

    void layout()
    {
        QSet<qint16> kept;
        for (const ControlData& control : m_from.controls)
            kept.insert(control.id);
        QSet<qint16> both;
        for (const ControlData& control : m_to.controls) {
            if (kept.contains(control.id))
                both.insert(control.id);
        }
        qsizetype moved = 0;
        for (const qint16 id : both) {
            const auto before = m_from.layout.find(id);
            const auto after = m_to.layout.find(id);
            const bool hadPlace = before != m_from.layout.end();
            const bool hasPlace = after != m_to.layout.end();
            if (hadPlace != hasPlace || (hadPlace && before->second != after->second))
                ++moved;
        }
        if (moved == 1)
            line(0, QStringLiteral("layout: 1 control moved"));
        else if (moved > 1)
            line(0, QStringLiteral("layout: %1 controls moved").arg(moved));
    }

    const ProjectData& m_from;
    const ProjectData& m_to;
    ProjectData m_renamed;
    QList<std::pair<qint16, QString>> m_renames;
    QSet<qint16> m_updated;
    QString m_text;
    qsizetype m_entries = 0;
    QHash<qsizetype, qint16> m_controlEntries;
};

} // namespace

QString ProjectDiff::Describe(const ProjectData& from, const ProjectData& to)
{
    if (from == to)
        return QString();
    return Writer(from, to).run();
}

QList<ProjectDiff::Entry> ProjectDiff::Entries(const ProjectData& from, const ProjectData& to)
{
    QList<Entry> entries;
    if (from == to)
        return entries;
    Writer writer(from, to);
    const QString text = writer.run();
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1Char(' '))) {
            Entry entry;
            entry.title = line.toString();
            entry.control = writer.controlEntries().value(entries.size(), -1);
            entries.append(entry);
        } else if (!entries.isEmpty()) {
            entries.last().lines.append(line.mid(2).toString());
        }
    }
    return entries;
}
