#include "VcsProjects.h"
#include "common/TestRegistry.h"
#include "vcs/ProjectMerge.h"
#include "vcs/ProjectText.h"
#include "vcs/ReferenceUpdate.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// How many seeded pairs run, and how often a merged project goes through a file: the most that
// keeps the Debug build's run under a minute.
constexpr int PairCount = 1000;
constexpr int FileEvery = 25;
constexpr quint32 FirstSeed = 35000;

const QString AddedOption = QStringLiteral("^Added ");

// One edit an author makes, with what it changes ("7:caption", "7:*" for all of control 7)
// and the controls it needs to be there.
struct Edit {
    QString what;
    QSet<QString> touches;
    QSet<qint16> needs;
    // Adds a control or a journey: the result of two such edits depends on their order.
    bool adds = false;
    std::function<void(ProjectData&)> apply;
};

ControlData* find(ProjectData& project, qint16 id)
{
    return project.control(id);
}

QString nameOf(const ProjectData& project, qint16 id)
{
    const ControlData* control = project.control(id);
    return control ? control->label() : QString();
}

bool overlaps(const Edit& a, const Edit& b)
{
    for (const QString& one : a.touches) {
        for (const QString& other : b.touches) {
            if (one == other)
                return true;
            // "7:*" is all of control 7.
            const auto whole = [](const QString& token, const QString& part) {
                return token.endsWith(QLatin1String(":*")) && part.startsWith(token.chopped(1));
            };
            if (whole(one, other) || whole(other, one))
                return true;
        }
    }
    const auto removes = [](const Edit& edit, qint16 id) { return edit.touches.contains(QStringLiteral("%1:*").arg(id)); };
    for (const qint16 id : a.needs) {
        if (removes(b, id))
            return true;
    }
    for (const qint16 id : b.needs) {
        if (removes(a, id))
            return true;
    }
    return false;
}

class EditMaker {
public:
    EditMaker(const ProjectData& base, QRandomGenerator& random, const QString& side)
        : m_base(base), m_random(random), m_side(side)
    {
        for (const ControlData& control : base.controls) {
            m_ids.append(control.id);
            m_highest = std::max(m_highest, control.id);
            if (!control.name.isEmpty())
                m_named.append(control.id);
            const QString* type = control.value(ControlProperties::Interface);
            if (type && QStringList{"Radio", "List", "MultiList", "dList", "Combo", "dCombo"}.contains(*type))
                m_choices.append(control.id);
        }
    }

    // A random edit; kind picks one of the eight kinds.
    Edit any() { return make(static_cast<int>(m_random.bounded(8))); }

    // The same thing as edit, changed another way (same kind, same place, another value).
    Edit sameAs(int kind, const Edit& first) { return make(kind, &first); }
    int lastKind() const { return m_kind; }

private:
    QString unique() { return m_side + QString::number(m_random.bounded(1u << 30)); }
    qint16 pick(const QList<qint16>& ids) { return ids.at(static_cast<qsizetype>(m_random.bounded(static_cast<quint32>(ids.size())))); }
    qint16 anyButFirst() { qint16 id = 1; while (id == 1) id = pick(m_ids); return id; }

    Edit make(int kind, const Edit* same = nullptr)
    {
        // Removing a control and changing it are the same thing.
        if (same && kind == 1) {
            kind = 3;
            m_lastKey = ControlProperties::Caption;
        }
        m_kind = kind;
        const qint16 target = same ? m_lastTarget : kind == 4 ? pick(m_choices) : kind == 2 ? pick(m_named) : anyButFirst();
        m_lastTarget = target;
        const QString value = unique();
        Edit edit;
        switch (kind) {
        case 0: { // add a control that goes to another; the same thing: one of the same name
            const qint16 next = pick(m_ids);
            const QString name = same ? m_lastName : value;
            m_lastName = name;
            edit.what = QStringLiteral("add control %1 going to %2").arg(name).arg(next);
            edit.touches = {QStringLiteral("control:") + name};
            edit.needs = {next};
            edit.adds = true;
            const QRectF place(m_random.bounded(2000), m_random.bounded(2000), 92, 36);
            // A number once given out is not given again, as the tree numbers its controls.
            const qint16 given = m_highest;
            edit.apply = [name, next, place, given](ProjectData& project) {
                qint16 highest = given;
                for (const ControlData& control : project.controls)
                    highest = std::max(highest, control.id);
                ControlData control;
                control.id = static_cast<qint16>(highest + 1);
                control.name = name;
                control.setValue(ControlProperties::Interface, QStringLiteral("Radio"));
                control.lines = {QStringLiteral("^Yes"), QStringLiteral("!GO ") + nameOf(project, next)};
                project.controls.push_back(control);
                project.layout[control.id] = place;
            };
            break;
        }
        case 1: // delete
            edit.what = QStringLiteral("delete %1").arg(target);
            edit.touches = {QStringLiteral("%1:*").arg(target)};
            edit.apply = [target](ProjectData& project) {
                std::erase_if(project.controls, [target](const ControlData& control) { return control.id == target; });
                project.layout.erase(target);
            };
            break;
        case 2: // rename, with every reference
            edit.what = QStringLiteral("rename %1 to %2").arg(target).arg(value);
            edit.touches = {QStringLiteral("%1:name").arg(target)};
            edit.apply = [target, value](ProjectData& project) {
                ControlData* control = find(project, target);
                ReferenceUpdate update;
                update.add(control->name, value);
                update.applyTo(project);
                control->name = value;
            };
            break;
        case 3: { // change a property
            static const QStringList keys{ControlProperties::Caption, ControlProperties::HelpUrl, ControlProperties::Maximum};
            const QString key = same ? m_lastKey : keys.at(m_random.bounded(3));
            m_lastKey = key;
            edit.what = QStringLiteral("set %1 of %2 to %3").arg(key).arg(target).arg(value);
            edit.touches = {QStringLiteral("%1:%2").arg(target).arg(key)};
            edit.apply = [target, key, value](ProjectData& project) { find(project, target)->setValue(key, value); };
            break;
        }
        case 4: { // add an option, before the n-th line the base had
            const ControlData* control = m_base.control(target);
            const int at = same ? m_lastAt : static_cast<int>(m_random.bounded(static_cast<quint32>(control->lines.size() + 1)));
            m_lastAt = at;
            const qint16 next = pick(m_ids);
            edit.what = QStringLiteral("add option %1 to %2 at %3").arg(value).arg(target).arg(at);
            edit.touches = {QStringLiteral("%1:lines@%2").arg(target).arg(at)};
            edit.needs = {next};
            edit.apply = [target, at, value, next](ProjectData& project) {
                const QString go = QStringLiteral("!GO ") + nameOf(project, next);
                QStringList& lines = find(project, target)->lines;
                int seen = 0;
                qsizetype position = lines.size();
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    if (lines.at(i).startsWith(AddedOption))
                        continue;
                    if (seen++ == at) {
                        position = i;
                        break;
                    }
                }
                lines.insert(position, go);
                lines.insert(position, AddedOption + value);
            };
            break;
        }
        case 5: { // move
            const QRectF place(m_random.bounded(2000), m_random.bounded(2000), 92, 36);
            edit.what = QStringLiteral("move %1").arg(target);
            edit.touches = {QStringLiteral("%1:place").arg(target)};
            edit.apply = [target, place](ProjectData& project) { project.layout[target] = place; };
            break;
        }
        case 6: { // edit a selector cell
            const int row = same ? m_lastAt : 1 + static_cast<int>(m_random.bounded(20));
            const int column = same ? m_lastColumn : 1 + static_cast<int>(m_random.bounded(3));
            m_lastAt = row;
            m_lastColumn = column;
            edit.what = QStringLiteral("set cell %1,%2 to %3").arg(row).arg(column).arg(value);
            edit.touches = {QStringLiteral("cell:%1,%2").arg(row).arg(column)};
            edit.apply = [row, column, value](ProjectData& project) { project.selectors.back().rows[row][column] = value; };
            break;
        }
        default: { // add a journey
            const QString name = same ? m_lastJourney : QStringLiteral("Journey ") + value;
            m_lastJourney = name;
            const qint16 start = pick(m_named);
            edit.what = QStringLiteral("add journey %1").arg(name);
            // A rename does not reach the journeys: one that starts at a renamed control is told
            // apart by the order of the two edits.
            edit.touches = {QStringLiteral("journey:") + name, QStringLiteral("%1:name").arg(start)};
            edit.needs = {start};
            edit.adds = true;
            edit.apply = [name, start, value](ProjectData& project) {
                Journey journey;
                journey.name = name;
                journey.start = nameOf(project, start);
                journey.answers = {{journey.start, value}};
                project.journeys.append(journey);
            };
            break;
        }
        }
        return edit;
    }

    const ProjectData& m_base;
    QRandomGenerator& m_random;
    QString m_side;
    QList<qint16> m_ids;
    QList<qint16> m_named;
    QList<qint16> m_choices;
    int m_kind = 0;
    qint16 m_lastTarget = 0;
    QString m_lastKey;
    int m_lastAt = 0;
    int m_lastColumn = 0;
    QString m_lastJourney;
    QString m_lastName;
    qint16 m_highest = 0;
};

ProjectData applied(ProjectData project, const Edit& edit)
{
    edit.apply(project);
    return project;
}

} // namespace

// Seeded random pairs of edits on a generated project of 200 controls: edits of different
// things merge into what both edits give applied one after the other; edits of the same thing
// are a conflict and ours is kept; every merged project reads back from its text, and every
// FileEvery-th opens from a file with the same text.
class TestMergeProperty : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void pairsOfEditsMergeAsEitherOrderWouldHaveIt()
    {
        const ProjectData base = VcsProjects::generated(200);
        QCOMPARE(base.controls.size(), size_t{200});
        int same = 0;
        int different = 0;
        int onFile = 0;
        for (quint32 seed = FirstSeed; seed < FirstSeed + PairCount; ++seed) {
            QRandomGenerator random(seed);
            EditMaker oursMaker(base, random, QStringLiteral("A"));
            EditMaker theirsMaker(base, random, QStringLiteral("B"));
            const Edit ourEdit = oursMaker.any();
            const bool sameThing = random.bounded(10) < 3;
            Edit theirEdit = sameThing ? oursMaker.sameAs(oursMaker.lastKind(), ourEdit) : theirsMaker.any();
            while (!sameThing && overlaps(ourEdit, theirEdit))
                theirEdit = theirsMaker.any();
            const QString pair = QStringLiteral("seed %1: ours %2, theirs %3").arg(seed).arg(ourEdit.what, theirEdit.what);
            const ProjectData ours = applied(base, ourEdit);
            const ProjectData theirs = applied(base, theirEdit);
            const MergeOutcome outcome = ProjectMerge::Merge(base, ours, theirs);
            const QString merged = ProjectText::Write(outcome.merged);
            if (sameThing) {
                ++same;
                QVERIFY2(!outcome.conflicts.isEmpty(), qPrintable(pair));
                QVERIFY2(merged == ProjectText::Write(ours), qPrintable(pair));
            } else {
                ++different;
                QVERIFY2(outcome.conflicts.isEmpty(), qPrintable(pair + QLatin1String(": ") + outcome.conflicts.value(0).text()));
                QVERIFY2(merged == ProjectText::Write(applied(ours, theirEdit)), qPrintable(pair + QLatin1String(" (ours first)")));
                // Two additions take numbers and places in the order they come.
                if (!(ourEdit.adds && theirEdit.adds))
                    QVERIFY2(merged == ProjectText::Write(applied(theirs, ourEdit)), qPrintable(pair + QLatin1String(" (theirs first)")));
            }
            ProjectData read;
            const std::optional<QString> problem = ProjectText::Read(merged, read);
            QVERIFY2(!problem, qPrintable(pair + QLatin1String(": ") + problem.value_or(QString())));
            QVERIFY2(ProjectText::Write(read) == merged, qPrintable(pair));
            if ((seed - FirstSeed) % FileEvery == 0) {
                ++onFile;
                const QString path = m_folder.filePath(QStringLiteral("generated.kvp"));
                const QString saveProblem = VcsProjects::save(outcome.merged, path);
                QVERIFY2(saveProblem.isEmpty(), qPrintable(pair + QLatin1String(": ") + saveProblem));
                const std::optional<ProjectData> opened = VcsProjects::load(path);
                QVERIFY2(opened, qPrintable(pair));
                QVERIFY2(ProjectText::Write(*opened) == merged, qPrintable(pair + QLatin1String(" (through the file)")));
            }
        }
        qInfo("%d pairs of different things, %d of the same thing, %d through a file", different, same, onFile);
        QVERIFY(same > PairCount / 5 && different > PairCount / 2);
    }
};

KV_REGISTER_TEST(TestMergeProperty)
#include "tst_MergeProperty.moc"
