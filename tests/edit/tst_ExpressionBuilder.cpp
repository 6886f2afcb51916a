#include "common/TestRegistry.h"

#include "edit/ExpressionBuilder.h"
#include "lang/ExpressionParser.h"
#include "lang/Tokenizer.h"

#include <QTest>

using namespace ExpressionBuilder;

namespace {

// What the expression check says of a text: empty when it passes.
QString checkMessage(const QString& expression)
{
    Tokenizer tokenizer;
    tokenizer.setText(expression);
    return tokenizer.CheckExpression() ? tokenizer.Message() : QString();
}

} // namespace

// Everything the builder inserts goes through the expression check, composed as an author would.
class TestExpressionBuilder : public QObject {
    Q_OBJECT

private slots:
    void everyButton();
    void references_data();
    void references();
    void optionReferenceReadsBack_data();
    void optionReferenceReadsBack();
};

void TestExpressionBuilder::everyButton()
{
    for (const ButtonRow& row : Buttons()) {
        for (const bool inverse : {false, true}) {
            const Insertion insertion = InsertionFor(row.button, inverse);
            // Around the inserted text: an operand before an operator, one inside a function's
            // parentheses, the rest of a parenthesis, and a comparison after an operand.
            const QChar first = insertion.text.front();
            const bool isFunction = insertion.caretBack > 0;
            QString before = QStringLiteral("[[A]] = ");
            QString after;
            if (QStringLiteral("&|=<>+-*/^").contains(first)) {
                before = QStringLiteral("[[A]] ");
                after = first == '^' ? QStringLiteral("= 4") : QStringLiteral("1");
            } else if (first == '(') {
                after = QStringLiteral("1)");
            } else if (first == ')') {
                before = QStringLiteral("([[A]] = 1");
            }
            int caret = 0;
            QString text = Insert(before, static_cast<int>(before.size()), insertion, caret);
            if (isFunction)
                text.insert(caret, QStringLiteral("1"));
            text += after;
            QVERIFY2(checkMessage(text).isEmpty(), qPrintable(text + QStringLiteral(": ") + checkMessage(text)));
        }
    }
}

void TestExpressionBuilder::references_data()
{
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<bool>("written");
    QTest::newRow("control") << ControlReferenceText("Engine_2") << true;
    QTest::newRow("control without name") << ControlReferenceText("") << false;
    QTest::newRow("control name closing early") << ControlReferenceText("A]] + [[B") << false;
    QTest::newRow("selector") << SelectorReferenceText("Cars", "Price", "Mini") << true;
    QTest::newRow("property with blanks") << SelectorReferenceText("Cars", "Top Speed", "Mini Van") << true;
    QTest::newRow("names with quotes and signs")
        << SelectorReferenceText("Cars", "Size \"L\" > 2", "A-1 (new)") << true;
    QTest::newRow("property with a colon") << SelectorReferenceText("Cars", "km:h", "Mini") << false;
    QTest::newRow("item with a semicolon") << SelectorReferenceText("Cars", "Price", "a;b") << false;
    QTest::newRow("item closing early") << SelectorReferenceText("Cars", "Price", "a>>b") << false;
    QTest::newRow("empty property") << SelectorReferenceText("Cars", " ", "Mini") << false;
    QTest::newRow("bare property") << PropertyReferenceText("Price") << true;
    QTest::newRow("bare property with underscore") << PropertyReferenceText("_top_2") << true;
    QTest::newRow("bare property with a blank") << PropertyReferenceText("Top Speed") << false;
    QTest::newRow("bare function name") << PropertyReferenceText("SIN") << false;
    QTest::newRow("bare TRUE") << PropertyReferenceText("True") << false;
    QTest::newRow("bare leading digit") << PropertyReferenceText("2nd") << false;
}

// A reference is written only when the check reads it back; then it passes in a comparison.
void TestExpressionBuilder::references()
{
    QFETCH(QString, inserted);
    QFETCH(bool, written);
    QCOMPARE(!inserted.isEmpty(), written);
    if (written) {
        QVERIFY(inserted.endsWith(' '));
        const QString expression = inserted + QStringLiteral("= 1");
        QVERIFY2(checkMessage(expression).isEmpty(), qPrintable(expression + QStringLiteral(": ")
                                                                + checkMessage(expression)));
    }
}

void TestExpressionBuilder::optionReferenceReadsBack_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("bare");
    QTest::newRow("quotes inside") << "Say \"hi\"" << false;
    QTest::newRow("only a quote") << "\"" << false;
    QTest::newRow("comma and blanks") << " Red, dark " << false;
    QTest::newRow("brackets") << "[[A]] <<B>>" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("range") << "1-10" << false;
    QTest::newRow("decimal") << "12.5" << true;
    QTest::newRow("negative") << "-5" << true;
    QTest::newRow("blanks around a number") << " 7 " << true;
    QTest::newRow("below a double") << "1e-400" << true;
}

void TestExpressionBuilder::optionReferenceReadsBack()
{
    QFETCH(QString, option);
    QFETCH(bool, bare);
    const QString inserted = OptionReferenceText(option);
    QCOMPARE(inserted == option, bare);
    const QString expression = QStringLiteral("[[A]] = ") + inserted;
    const ExpressionParseResult read = ExpressionParser::parse(expression);
    QVERIFY2(read.ok(), qPrintable(expression + QStringLiteral(": ") + read.message));
    QVERIFY(checkMessage(expression).isEmpty());
    const ExpressionNode& value = read.root->operand(1);
    if (!bare) {
        QCOMPARE(value.kind(), ExpressionKind::Text);
        QCOMPARE(value.text(), option);
    }
}

KV_REGISTER_TEST(TestExpressionBuilder)
#include "tst_ExpressionBuilder.moc"
