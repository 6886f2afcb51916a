#include "common/TestRegistry.h"
#include "tests/runtime/TableScope.h"

#include "lang/ExpressionParser.h"
#include "persist/CsvTable.h"
#include "runtime/ExpressionEvaluator.h"
#include "runtime/ItemExpression.h"
#include "runtime/RuntimeFault.h"
#include "runtime/SelectorTable.h"

#include <QTest>

namespace {

// A few control values, one of each form.
std::optional<RuntimeValue> carControls(const QString& name)
{
    if (name == QLatin1String("Budget"))
        return RuntimeValue::guess(QStringLiteral("20000"));
    if (name == QLatin1String("Colours"))
        return RuntimeValue::choices({QStringLiteral("Red"), QStringLiteral("Blue")});
    if (name == QLatin1String("Typed"))
        return RuntimeValue::text(QStringLiteral("4")); // a number typed as text
    return std::nullopt;
}

SelectorTable cars()
{
    CsvTable::Rows rows;
    CsvTable::parse(QStringLiteral("Name,Price,Seats,Colour,Mixed\n"
                                   "Mini,18000,4,Red,3\n"
                                   "Van,32000,8,White,n/a\n"
                                   "Coupe,41000,2,Red,7.5\n"
                                   "Estate,29000,5,blue,\n"
                                   "Micro,12000,2,Green,TRUE\n"),
                    rows);
    return SelectorTable(QStringLiteral("Cars"), rows);
}

// Per item: the test's answer, or the fault's message.
template <typename Test>
QStringList outcomes(const SelectorTable& table, TableScope& scope, Test&& test)
{
    QStringList result;
    for (int item = 0; item < table.itemCount(); ++item) {
        scope.item = item;
        try {
            result.append(test(item));
        } catch (const RuntimeFault& fault) {
            result.append(QStringLiteral("fault: ") + fault.message);
        }
    }
    return result;
}

QString describe(const RuntimeValue& value)
{
    return QString::number(int(value.kind())) + QLatin1Char(':') + value.toText();
}

} // namespace

// The compiled form must answer every item as the evaluator does, faults and their order included.
class TestItemExpression : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTheEvaluator_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::newRow("property against a control") << "Price > [[Budget]]";
        QTest::newRow("control against a property") << "[[Budget]] <= Price";
        QTest::newRow("equal numbers") << "Seats = 2";
        QTest::newRow("arithmetic") << "Price * 2 - Seats / 2 >= 36000";
        QTest::newRow("unary and function") << "ABS( -Price + [[Budget]] ) < 5000";
        QTest::newRow("text without regard to case") << "Colour = \"BLUE\"";
        QTest::newRow("and, or") << "Price > 20000 & Colour = \"Red\" | Seats = 2";
        QTest::newRow("choices") << "[[Colours]] = Colour";
        QTest::newRow("joined texts") << "Name + Colour = \"MiniRed\"";
        QTest::newRow("number typed as text") << "Seats > [[Typed]]";
        QTest::newRow("numbers, texts and blanks in one column") << "Mixed > 3";
        QTest::newRow("a cell read as true/false") << "Mixed";
        QTest::newRow("division by zero for some items") << "Price / (Seats - 2) > 1";
        QTest::newRow("left of & faults before the right") << "Colour & Price / (Seats - 2) > 1";
        QTest::newRow("right of | faults") << "Seats > 3 | Colour";
        QTest::newRow("no such property") << "Weight > 1";
        QTest::newRow("no such control") << "[[Nobody]] > Price";
        QTest::newRow("selector reference to the item") << "<<Cars:Price>> = Price";
        QTest::newRow("constant only") << "[[Budget]] > 100";
        QTest::newRow("text where a number is needed") << "Colour * 2 > 1";
    }

    void agreesWithTheEvaluator()
    {
        QFETCH(QString, expression);
        const ExpressionParseResult parsed = ExpressionParser::parse(expression);
        QVERIFY2(parsed.ok(), qPrintable(parsed.message));
        const SelectorTable table = cars();

        TableScope evaluatorScope(table, carControls);
        ExpressionEvaluator evaluator(evaluatorScope);
        const QStringList expectedTests = outcomes(table, evaluatorScope, [&](int) {
            return evaluator.test(*parsed.root) ? QStringLiteral("true") : QStringLiteral("false");
        });
        TableScope compiledScope(table, carControls);
        ItemExpression compiled(*parsed.root, table, compiledScope);
        QCOMPARE(outcomes(table, compiledScope,
                          [&](int item) { return compiled.test(item) ? QStringLiteral("true") : QStringLiteral("false"); }),
                 expectedTests);

        ExpressionEvaluator valueEvaluator(evaluatorScope);
        const QStringList expectedValues =
            outcomes(table, evaluatorScope, [&](int) { return describe(valueEvaluator.evaluate(*parsed.root)); });
        ItemExpression values(*parsed.root, table, compiledScope);
        QCOMPARE(outcomes(table, compiledScope, [&](int item) { return describe(values.value(item)); }), expectedValues);
    }

    // A removal pass that meets a fault keeps what it removed before and loses no item.
    void removalStopsCleanlyAtAFault()
    {
        SelectorTable table = cars();
        const SelectorTable::Mark start = table.mark();
        const SelectorRemoval reason{-1, QStringLiteral("A"), QStringLiteral("_PREACTION"), QStringLiteral("!KILL")};
        bool threw = false;
        try {
            table.removeWhere(
                [](int item) {
                    if (item == 3)
                        throw RuntimeFault{QStringLiteral("stop")};
                    return item % 2 == 0;
                },
                reason);
        } catch (const RuntimeFault&) {
            threw = true;
        }
        QVERIFY(threw);
        QCOMPARE(table.remaining(), (QList<int>{1, 3, 4}));
        QCOMPARE(table.remainingCount(), 3);
        QCOMPARE(table.removalOf(2)->item, 2);
        table.restore(start);
        QCOMPARE(table.remaining(), (QList<int>{0, 1, 2, 3, 4}));
        QVERIFY(!table.removalOf(2));
    }
};

KV_REGISTER_TEST(TestItemExpression)
#include "tst_ItemExpression.moc"
