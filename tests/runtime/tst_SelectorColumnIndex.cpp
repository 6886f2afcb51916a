#include "common/TestRegistry.h"
#include "tests/runtime/TableScope.h"

#include "lang/ExpressionParser.h"
#include "persist/CsvTable.h"
#include "runtime/ItemExpression.h"
#include "runtime/RuntimeFault.h"
#include "runtime/SelectorTable.h"

#include <QTest>

#include <algorithm>
#include <random>

namespace {

// Controls whose values come in each form a control can give; "Plain" and "Typed" read the
// same text as a typed value and as a text.
TableScope::Controls killControls(const QString& typed)
{
    return [&typed](const QString& name) -> std::optional<RuntimeValue> {
        if (name == QLatin1String("Plain"))
            return RuntimeValue::guess(typed);
        if (name == QLatin1String("Typed"))
            return RuntimeValue::text(typed);
        if (name == QLatin1String("Picked"))
            return RuntimeValue::choices({QStringLiteral("abc"), QStringLiteral("7")});
        return std::nullopt;
    };
}

// Cells that compare in every way the runtime knows: numbers written in several forms, texts
// that differ in case only, blanks, texts that fold to more or other letters, letters outside
// the basic plane, words read as true/false, and numbers that read as NaN or infinity.
const QStringList CellPool{
    QStringLiteral("0"),    QStringLiteral("-0"),   QStringLiteral("3"),      QStringLiteral("3.0"),  QStringLiteral(" 7 "),
    QStringLiteral("7"),    QStringLiteral("1e1"),  QStringLiteral("-2.5"),   QStringLiteral("10"),   QStringLiteral("inf"),
    QStringLiteral("nan"),  QStringLiteral(""),     QStringLiteral("  "),     QStringLiteral("abc"),  QStringLiteral("ABC"),
    QStringLiteral("Abd"),  QStringLiteral("abc "), QStringLiteral("True"),   QStringLiteral("false"), QStringLiteral("Straße"),
    QStringLiteral("STRASSE"), QStringLiteral("ǅ"), QStringLiteral("ǆ"),      QStringLiteral("İ"),    QStringLiteral("i"),
    QStringLiteral("\U00010400x"), QStringLiteral("\U00010428X"), QStringLiteral("\uFB00"), QStringLiteral("ff"),
    QStringLiteral("z"),    QStringLiteral("7a"),   QStringLiteral("Σ"),      QStringLiteral("ς")};

const QStringList ConstantPool{
    QStringLiteral("3"),        QStringLiteral("-2.5"),       QStringLiteral("0"),         QStringLiteral("10"),
    QStringLiteral("-(3)"),     QStringLiteral("\"abc\""),    QStringLiteral("\"ABC\""),   QStringLiteral("\"\""),
    QStringLiteral("\" 7\""),   QStringLiteral("\"7\""),      QStringLiteral("\"STRASSE\""), QStringLiteral("\"ǅ\""),
    QStringLiteral("\"\U00010400X\""), QStringLiteral("\"z\""), QStringLiteral("True"),    QStringLiteral("[[Plain]]"),
    QStringLiteral("[[Typed]]"), QStringLiteral("[[Picked]]"), QStringLiteral("\"σ\""),   QStringLiteral("\"nan\"")};

const QStringList Operators{QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                            QStringLiteral("<="), QStringLiteral(">"), QStringLiteral(">=")};

SelectorTable randomTable(std::mt19937& random, int items)
{
    CsvTable::Rows rows{{QStringLiteral("Name"), QStringLiteral("Num"), QStringLiteral("Txt"), QStringLiteral("Mixed")}};
    const auto pick = [&random](const QStringList& pool, qsizetype from, qsizetype to) {
        return pool.at(std::uniform_int_distribution<qsizetype>(from, to - 1)(random));
    };
    for (int i = 0; i < items; ++i)
        rows.append({QStringLiteral("Item %1").arg(i), pick(CellPool, 0, 10), pick(CellPool, 11, CellPool.size()),
                     pick(CellPool, 0, CellPool.size())});
    return SelectorTable(QStringLiteral("Things"), rows);
}

QString randomKill(std::mt19937& random)
{
    const auto pick = [&random](const QStringList& pool) {
        return pool.at(std::uniform_int_distribution<qsizetype>(0, pool.size() - 1)(random));
    };
    const QString property = pick({QStringLiteral("Num"), QStringLiteral("Txt"), QStringLiteral("Mixed")});
    const QString constant = pick(ConstantPool);
    const QString op = pick(Operators);
    switch (std::uniform_int_distribution<int>(0, 5)(random)) {
    case 0: return constant + QLatin1Char(' ') + op + QLatin1Char(' ') + property;
    case 1: return property + QStringLiteral(" + 0 ") + op + QLatin1Char(' ') + constant; // not indexed
    default: return property + QLatin1Char(' ') + op + QLatin1Char(' ') + constant;
    }
}

// What a removal pass leaves: the remaining items in order, and the journal.
QStringList state(const SelectorTable& table)
{
    QStringList lines;
    for (const int item : table.remaining())
        lines.append(table.itemName(item));
    lines.append(QStringLiteral("--"));
    for (const SelectorRemoval& removal : table.removals())
        lines.append(table.itemName(removal.item) + QLatin1Char(' ') + removal.action);
    return lines;
}

struct Kill {
    int removed = 0;
    int examined = 0;
    bool answeredByIndex = false;
    QString fault;
};

// One !KILL as the runtime does it, with or without the index.
Kill kill(SelectorTable& table, TableScope& scope, const ExpressionNode& root, const QString& text, bool indexed)
{
    ItemExpression test(root, table, scope);
    const SelectorRemoval reason{-1, QStringLiteral("Q"), QStringLiteral("Yes"), text};
    const auto itemTest = [&](int item) {
        scope.item = item;
        return test.test(item);
    };
    Kill result;
    try {
        if (indexed) {
            const auto comparison = table.remainingCount() > 0 ? test.comparison() : std::nullopt;
            result.answeredByIndex =
                comparison && table.columnIndex(comparison->column).lookup(comparison->op, *comparison->constant);
            const SelectorTable::Pass pass = table.removeWhere(itemTest, reason, comparison);
            result.removed = pass.removed;
            result.examined = pass.examined;
        } else {
            result.removed = table.removeWhere(itemTest, reason);
        }
    } catch (const RuntimeFault& fault) {
        result.fault = fault.message;
    }
    return result;
}

SelectorTable groups(int items, int perGroup)
{
    CsvTable::Rows rows{{QStringLiteral("Name"), QStringLiteral("Group"), QStringLiteral("Label")}};
    for (int i = 0; i < items; ++i) {
        const int group = i % (items / perGroup);
        const QString label = (i % 2 ? QStringLiteral("g") : QStringLiteral("G")) + QString::number(group);
        rows.append({QStringLiteral("Item %1").arg(i), QString::number(group), label});
    }
    return SelectorTable(QStringLiteral("Items"), rows);
}

} // namespace

// A !KILL answered through a column's index removes exactly what a test of every remaining item
// removes, in the same order, for every form of cell and constant.
class TestSelectorColumnIndex : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTheFullPass_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 12; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void agreesWithTheFullPass()
    {
        QFETCH(unsigned, seed);
        std::mt19937 random(seed);
        const int items = std::uniform_int_distribution<int>(20, 160)(random);
        SelectorTable plain = randomTable(random, items);
        SelectorTable indexed = plain;
        QString typed; // what the controls hold for the next kill
        TableScope plainScope(plain, killControls(typed));
        TableScope indexedScope(indexed, killControls(typed));
        std::vector<std::pair<SelectorTable::Mark, SelectorTable::Mark>> marks;
        int answeredByIndex = 0;
        const SelectorTable::Mark plainStart = plain.mark();
        const SelectorTable::Mark indexedStart = indexed.mark();
        for (int step = 0; step < 150; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(random);
            if (plain.remainingCount() < items / 4) {
                // Start over, so that most kills have items to remove.
                plain.restore(plainStart);
                indexed.restore(indexedStart);
                marks.clear();
            } else if (what == 0) {
                // A sort: the remaining items in a new order.
                QList<int> order = plain.remaining();
                std::shuffle(order.begin(), order.end(), random);
                plain.reorder(order);
                indexed.reorder(order);
            } else if (what == 1) {
                marks.emplace_back(plain.mark(), indexed.mark());
            } else if (what == 2 && !marks.empty()) {
                // Back.
                plain.restore(marks.back().first);
                indexed.restore(marks.back().second);
                marks.pop_back();
            } else {
                const QString text = randomKill(random);
                const ExpressionParseResult parsed = ExpressionParser::parse(text);
                QVERIFY2(parsed.ok(), qPrintable(text + QLatin1String(": ") + parsed.message));
                typed = CellPool.at(step % CellPool.size());
                const Kill expected = kill(plain, plainScope, *parsed.root, text, false);
                const Kill got = kill(indexed, indexedScope, *parsed.root, text, true);
                QVERIFY2(got.removed == expected.removed && got.fault == expected.fault,
                         qPrintable(QStringLiteral("%1 (%2): %3 removed, expected %4")
                                        .arg(text, typed).arg(got.removed).arg(expected.removed)));
                answeredByIndex += got.answeredByIndex ? 1 : 0;
            }
            QCOMPARE(state(indexed), state(plain));
            QCOMPARE(indexed.remainingCount(), plain.remainingCount());
        }
        // Most kills were answered by the index, not by the full pass behind it.
        QVERIFY2(answeredByIndex > 40, qPrintable(QString::number(answeredByIndex)));
    }

    // Removing one group at a time looks at that group's items only, however large the table.
    void looksAtTheMatchesOnly_data()
    {
        QTest::addColumn<QString>("kill");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("number equal") << "Group = %1" << true;
        QTest::newRow("constant on the left") << "%1 = Group" << true;
        QTest::newRow("text in any case") << "Label = \"G%1\"" << true;
        QTest::newRow("not that shape: every remaining item") << "Group + 0 = %1" << false;
    }

    void looksAtTheMatchesOnly()
    {
        QFETCH(QString, kill);
        QFETCH(bool, indexed);
        const auto run = [&kill](int items) {
            SelectorTable table = groups(items, 10);
            const QString none;
            TableScope scope(table, killControls(none));
            int examined = 0;
            int removed = 0;
            for (int group = 0; group < 50; ++group) {
                const QString text = kill.arg(group);
                const ExpressionParseResult parsed = ExpressionParser::parse(text);
                const Kill pass = ::kill(table, scope, *parsed.root, text, true);
                examined += pass.examined;
                removed += pass.removed;
            }
            return std::pair{examined, removed};
        };
        const auto [small, smallRemoved] = run(2000);
        const auto [large, largeRemoved] = run(8000);
        QCOMPARE(smallRemoved, 500);
        QCOMPARE(largeRemoved, 500);
        if (indexed) {
            QCOMPARE(small, 500);
            QCOMPARE(large, 500);
        } else {
            QVERIFY2(large > 3 * small, qPrintable(QStringLiteral("%1 against %2").arg(large).arg(small)));
        }
    }
};

KV_REGISTER_TEST(TestSelectorColumnIndex)
#include "tst_SelectorColumnIndex.moc"
