#include "common/TestRegistry.h"
#include "edit/UndoProject.h"

#include "lang/ISelectorCatalog.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "selectors/SelectorStore.h"
#include "validate/CcValidation.h"
#include "validate/LiveValidation.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using namespace MDecisionDataUtil;

constexpr int ProjectSize = 300;

QString nameOf(int number)
{
    return QStringLiteral("C%1").arg(number);
}

// A full validation with the paths followed, for both runtimes: what the live list must equal.
QList<ValidationFindings::Entry> fullCheck(const UndoProject& p)
{
    CcValidation validation(p.decisions, p.document);
    validation.setAnalyzePaths(true);
    validation.Validate();
    return validation.Findings().entries();
}

QString describe(const QList<ValidationFindings::Entry>& entries)
{
    QStringList lines;
    for (const ValidationFindings::Entry& entry : entries)
        lines << QStringLiteral("%1 | %2 | %3 | %4 | line %5")
                     .arg(entry.isError ? "E" : "W", entry.message, entry.location, entry.extra)
                     .arg(entry.line);
    return lines.join(QLatin1Char('\n'));
}

// The first row where the two lists part, for the failure message.
QString firstDifference(const QList<ValidationFindings::Entry>& live, const QList<ValidationFindings::Entry>& full)
{
    for (qsizetype row = 0; row < std::max(live.size(), full.size()); ++row) {
        if (row >= live.size() || row >= full.size() || !(live.at(row) == full.at(row)))
            return QStringLiteral("row %1:\nlive: %2\nfull: %3")
                .arg(row)
                .arg(row < live.size() ? describe({live.at(row)}) : QStringLiteral("(none)"),
                     row < full.size() ? describe({full.at(row)}) : QStringLiteral("(none)"));
    }
    return {};
}

// Lines of every kind the validator and the path analysis read, naming controls (some that do
// not exist), selectors, properties the selectors lack, and values that do and do not fit.
class LineMaker {
public:
    explicit LineMaker(QRandomGenerator& random) : m_random(random) {}

    QString control() { return nameOf(1 + m_random.bounded(ProjectSize + 20)); }

    QString action()
    {
        switch (m_random.bounded(16)) {
        case 0:
        case 1:
        case 2: return QStringLiteral("!GO ") + control();
        case 3: {
            static const QStringList values{"Opt1", "5", "500", "\"text\"", "abc", "[[C3]]+1", "Yes"};
            return QStringLiteral("!SET [[%1]]=%2").arg(control(), values.at(m_random.bounded(values.size())));
        }
        case 4: return QStringLiteral("!KILL S:Price < %1").arg(m_random.bounded(9));
        case 5: return QStringLiteral("!KILL T:Weight > [[%1]]").arg(control());
        case 6: return QStringLiteral("!KILL S:Colour = 1");
        case 7: return QStringLiteral("!SORT S: Price, Item; A");
        case 8: return QStringLiteral("!IF [[%1]] = \"Opt1\"").arg(control());
        case 9: return QStringLiteral("!ENDIF");
        case 10: return m_random.bounded(2) ? QStringLiteral("!CALL") : QStringLiteral("!CALL Host");
        case 11: return QStringLiteral("!JUMP http://example.org");
        case 12: return QStringLiteral("!GO FinishLink");
        case 13: return QStringLiteral("!BOGUS");
        case 14: return QStringLiteral("!DEFAULT [[%1]]=3").arg(control());
        default: return QStringLiteral("!IF 1 = 1");
        }
    }

    QStringList lines()
    {
        QStringList lines;
        if (m_random.bounded(4) == 0)
            lines << action();
        const int options = m_random.bounded(4);
        for (int option = 1; option <= options; ++option) {
            lines << QStringLiteral("^Opt%1").arg(option);
            for (int i = m_random.bounded(3); i > 0; --i)
                lines << action();
        }
        return lines;
    }

    qint16 type()
    {
        static const QList<qint16> types{Radio, Check, List, Combo, NumBox, RealNumBox, NumSlide,
                                         StringBox, Command, Info, Done, MultiList};
        return types.at(m_random.bounded(types.size()));
    }

private:
    QRandomGenerator& m_random;
};

void writeSelectors(UndoProject& p, bool blankHeader)
{
    SelectorStore store(p.document.Storage());
    store.WriteText(QStringLiteral("S"), blankHeader ? QStringLiteral("Item,,Price\r\nTea,x,3\r\n")
                                                     : QStringLiteral("Item,Price\r\nTea,3\r\n"));
    store.WriteText(QStringLiteral("T"), QStringLiteral("Item,Weight\r\nBox,2\r\n"));
}

// A tree of ProjectSize controls with every kind of line, displayed controls, headers with
// references, pictures that are missing and limits that do and do not hold; not recorded.
void build(UndoProject& p, QRandomGenerator& random)
{
    p.undo.setEnabled(true);
    writeSelectors(p, true);
    p.explorer.AddCriteriaList(QStringLiteral("S"));
    p.explorer.AddCriteriaList(QStringLiteral("T"));
    LineMaker maker(random);
    for (int number = 1; number <= ProjectSize; ++number) {
        CmDecisionItem* item = p.tree.AddNew(QPointF(100.0 * number, 0), 1, nameOf(number));
        QVERIFY(item);
        item->setIntControl(maker.type());
        item->setOptsAndActs(maker.lines());
        if (random.bounded(5) == 0)
            SetProperty(*item, DisplayedControlsLabel, maker.control() + QLatin1Char(',') + maker.control());
        if (random.bounded(6) == 0)
            item->EditHeading(QStringLiteral("See [[%1]] and <<S:Price>>").arg(maker.control()));
        if (random.bounded(10) == 0)
            SetProperty(*item, PictureLabel, QStringLiteral("Logo"));
        if (random.bounded(4) == 0) {
            SetProperty(*item, MinimumLabel, QString::number(random.bounded(20)));
            SetProperty(*item, MaximumLabel, QString::number(random.bounded(20)));
        }
    }
    p.undo.setEnabled(false);
    p.undo.Clear();
}

// A selector whose header row has a blank cell, which a stored table cannot hold.
class BlankHeaderCatalog : public ISelectorCatalog {
public:
    bool Exists(const QString& name) const override { return name.compare(QLatin1String("B"), Qt::CaseInsensitive) == 0; }
    std::optional<QStringList> Properties(const QString& name) const override
    {
        return Exists(name) ? std::optional<QStringList>(QStringList{QStringLiteral("Item"), QString(), QStringLiteral("Price")})
                            : std::nullopt;
    }
    std::optional<QStringList> Items(const QString& name) const override
    {
        return Exists(name) ? std::optional<QStringList>(QStringList{QStringLiteral("Tea")}) : std::nullopt;
    }
};

} // namespace

// The findings kept live while the tree is edited equal a full validation's, row for row.
class TestLiveValidation : public QObject {
    Q_OBJECT

private slots:
    void followsEveryKindOfEdit_data();
    void followsEveryKindOfEdit();
    void randomEditingMatchesAFullCheck();
    void blankHeaderCellsGoToTheFirstUser();
};

using Edit = std::function<void(UndoProject&, LiveValidation&)>;

void TestLiveValidation::followsEveryKindOfEdit_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("fewRechecked");
    const auto item = [](UndoProject& p, int number) { return p.decisions.Item(nameOf(number)); };
    QTest::newRow("rename a target") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(p.tree.Rename(nameOf(7), QStringLiteral("Renamed"), item(p, 7)->intID()));
    }) << true;
    QTest::newRow("selector renamed") << Edit([](UndoProject& p, LiveValidation& live) {
        SelectorStore(p.document.Storage()).Rename(QStringLiteral("S"), QStringLiteral("S2"));
        live.SelectorsChanged({QStringLiteral("S"), QStringLiteral("S2")});
    }) << false;
    QTest::newRow("blank header filled") << Edit([](UndoProject& p, LiveValidation& live) {
        writeSelectors(p, false);
        live.SelectorsChanged({QStringLiteral("S")});
    }) << false;
    QTest::newRow("option edited") << Edit([=](UndoProject& p, LiveValidation&) {
        item(p, 11)->setOptsAndActs({QStringLiteral("^Opt1"), QStringLiteral("!GO Nowhere"), QStringLiteral("!KILL S:Colour = 2")});
    }) << true;
    QTest::newRow("control deleted") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(p.view.Canvas().DeleteEntity(item(p, 5)->intID()));
    }) << true;
    QTest::newRow("deleted then undone") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(p.view.Canvas().DeleteEntity(item(p, 5)->intID()));
        p.undo.UndoCommand();
    }) << true;
    QTest::newRow("interface changed") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(SetProperty(*item(p, 3), InputInterfaceLabel, QStringLiteral("NumBox")));
    }) << true;
    QTest::newRow("displayed controls") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(SetProperty(*item(p, 9), DisplayedControlsLabel, nameOf(1) + QStringLiteral(",") + nameOf(2)));
    }) << true;
    QTest::newRow("maximum lowered") << Edit([=](UndoProject& p, LiveValidation&) {
        QVERIFY(SetProperty(*item(p, 4), MaximumLabel, QStringLiteral("1")));
    }) << true;
    QTest::newRow("control added") << Edit([](UndoProject& p, LiveValidation&) {
        QVERIFY(p.tree.AddNew(QPointF(5, 5), 1, nameOf(ProjectSize + 3)));
    }) << true;
}

void TestLiveValidation::followsEveryKindOfEdit()
{
    QFETCH(Edit, edit);
    QFETCH(bool, fewRechecked);
    UndoProject p;
    QRandomGenerator random(7);
    build(p, random);
    LiveValidation live(p.decisions, p.document);
    QVERIFY(live.Stale());
    live.Check();
    QVERIFY(!live.Stale());
    const QList<ValidationFindings::Entry> first = fullCheck(p);
    QVERIFY2(live.Findings() == first, qPrintable(firstDifference(live.Findings(), first)));
    edit(p, live);
    QVERIFY(live.PathsStale());
    // A change to one control checks a few others, never the tree.
    if (fewRechecked)
        QVERIFY2(live.LastRecheckCount() < ProjectSize / 5, qPrintable(QString::number(live.LastRecheckCount())));
    live.CheckPaths();
    const QList<ValidationFindings::Entry> full = fullCheck(p);
    QVERIFY2(live.Findings() == full, qPrintable(firstDifference(live.Findings(), full)));
    int errors = 0;
    for (const ValidationFindings::Entry& entry : full)
        errors += entry.isError ? 1 : 0;
    QCOMPARE(live.Errors(), errors);
    QCOMPARE(live.Warnings(), int(full.size()) - errors);
}

void TestLiveValidation::randomEditingMatchesAFullCheck()
{
    const int sequences = qEnvironmentVariableIntValue("KV_LIVE_VALIDATION_SEQUENCES") > 0
                              ? qEnvironmentVariableIntValue("KV_LIVE_VALIDATION_SEQUENCES")
                              : 300;
    for (int seed = 1; seed <= sequences; ++seed) {
        QRandomGenerator random(static_cast<quint32>(seed));
        UndoProject p;
        build(p, random);
        LiveValidation live(p.decisions, p.document);
        live.Check();
        LineMaker maker(random);
        int names = 0;
        for (int step = 0; step < 6; ++step) {
            const int kind = random.bounded(12);
            CmDecisionItem* some = p.decisions.ItemByIndex(1 + random.bounded(p.decisions.Count()));
            switch (kind) {
            case 0: p.tree.Rename(some->strID(), QStringLiteral("N%1").arg(++names), some->intID()); break;
            case 1: {
                const bool back = random.bounded(2);
                SelectorStore(p.document.Storage()).Rename(back ? QStringLiteral("S2") : QStringLiteral("S"),
                                                            back ? QStringLiteral("S") : QStringLiteral("S2"));
                live.SelectorsChanged({QStringLiteral("S"), QStringLiteral("S2")});
                break;
            }
            case 2: some->setOptsAndActs(maker.lines()); break;
            case 3: p.view.Canvas().DeleteEntity(some->intID()); break;
            case 4: p.undo.UndoCommand(); break;
            case 5: p.undo.RedoCommand(); break;
            case 6: p.tree.AddNew(QPointF(random.bounded(900), 50), 1, maker.control()); break;
            case 7: SetProperty(*some, InputInterfaceLabel, ControlIntToStr(maker.type())); break;
            case 8: SetProperty(*some, DisplayedControlsLabel, maker.control()); break;
            case 9: SetProperty(*some, MaximumLabel, QString::number(random.bounded(10))); break;
            case 10: some->EditHeading(QStringLiteral("[[%1]]").arg(maker.control())); break;
            default:
                writeSelectors(p, random.bounded(2));
                live.SelectorsChanged({QStringLiteral("S")});
                break;
            }
            live.CheckPaths();
            const QList<ValidationFindings::Entry> full = fullCheck(p);
            const QList<ValidationFindings::Entry> kept = live.Findings();
            QVERIFY2(kept == full, qPrintable(QStringLiteral("seed %1, step %2 (edit %3): %4")
                                                  .arg(seed)
                                                  .arg(step)
                                                  .arg(kind)
                                                  .arg(firstDifference(kept, full))));
        }
    }
}

// Reported once, at the first !KILL or !SORT on the selector in decision order, wherever the
// edits move that first use.
void TestLiveValidation::blankHeaderCellsGoToTheFirstUser()
{
    UndoProject p;
    p.undo.setEnabled(true);
    for (int number = 1; number <= 6; ++number) {
        CmDecisionItem* item = p.tree.AddNew(QPointF(100.0 * number, 0), 1, nameOf(number));
        item->setOptsAndActs({QStringLiteral("^A"), QStringLiteral("!GO %1").arg(nameOf(number % 6 + 1))});
    }
    const auto kill = [&p](int number, bool on) {
        QStringList lines = p.decisions.Item(nameOf(number))->OptsAndActs();
        lines.removeAll(QStringLiteral("!KILL B:Price < 3"));
        if (on)
            lines.append(QStringLiteral("!KILL B:Price < 3"));
        p.decisions.Item(nameOf(number))->setOptsAndActs(lines);
    };
    kill(3, true);
    kill(5, true);
    p.undo.setEnabled(false);
    BlankHeaderCatalog catalog;
    LiveValidation live(p.decisions, p.document);
    live.setSelectorCatalog(&catalog);
    live.Check();
    const auto full = [&] {
        CcValidation validation(p.decisions, p.document);
        validation.setSelectorCatalog(&catalog);
        validation.setAnalyzePaths(true);
        validation.Validate();
        return validation.Findings().entries();
    };
    const auto blankAt = [&] {
        QStringList controls;
        for (const ValidationFindings::Entry& entry : live.Findings()) {
            if (entry.message.contains(QStringLiteral("blank")))
                controls << entry.control();
        }
        return controls;
    };
    QCOMPARE(blankAt(), QStringList{nameOf(3)});
    kill(2, true);
    QCOMPARE(blankAt(), QStringList{nameOf(2)});
    kill(2, false);
    QCOMPARE(blankAt(), QStringList{nameOf(3)});
    QVERIFY(p.view.Canvas().DeleteEntity(p.decisions.Item(nameOf(3))->intID()));
    QCOMPARE(blankAt(), QStringList{nameOf(5)});
    live.CheckPaths();
    QCOMPARE(live.Findings(), full());
}

KV_REGISTER_TEST(TestLiveValidation)
#include "tst_LiveValidation.moc"
