#include "common/TestRegistry.h"

#include "base/MCommonUtil.h"
#include "lang/ExpressionParser.h"

#include <QTest>

class TestExpressionParser : public QObject {
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void nodeValues();
    void references();
    void numberRule_data();
    void numberRule();
};

// Each row: the text, its canonical form and the form with every operation in parentheses (which
// shows how precedence and associativity grouped it).
void TestExpressionParser::accepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");
    QTest::addColumn<QString>("grouped");

    QTest::newRow("function slot") << "SQR( [[Area]] ) > 3" << "SQR([[Area]]) > 3" << "SQR([[Area]]) > 3";
    QTest::newRow("power then plus") << "[[Side]]^2 + 1 < 100" << "[[Side]]^2 + 1 < 100"
                                     << "(([[Side]]^2) + 1) < 100";
    QTest::newRow("and of comparisons") << "ABS( [[A]] - 3 ) > 2 & [[B]] = \"Checked\""
                                        << "ABS([[A]] - 3) > 2 & [[B]] = \"Checked\""
                                        << "(ABS([[A]] - 3) > 2) & ([[B]] = \"Checked\")";
    QTest::newRow("bare properties") << "Price < 20000 & Seats >= 4" << "Price < 20000 & Seats >= 4"
                                     << "(Price < 20000) & (Seats >= 4)";
    QTest::newRow("pi") << "3.141592653589793 * [[R]]^2 " << "3.141592653589793 * [[R]]^2"
                        << "3.141592653589793 * ([[R]]^2)";
    QTest::newRow("selector") << "<<Cars:Price;Mini>> > 100" << "<<Cars:Price;Mini>> > 100"
                              << "<<Cars:Price;Mini>> > 100";
    QTest::newRow("or loosest") << "1|2&3" << "1 | 2 & 3" << "1 | (2 & 3)";
    QTest::newRow("two-character comparisons") << "[[A]]<>\"x\"|[[B]]<=1&[[C]]>=2"
                                               << "[[A]] <> \"x\" | [[B]] <= 1 & [[C]] >= 2"
                                               << "([[A]] <> \"x\") | (([[B]] <= 1) & ([[C]] >= 2))";
    QTest::newRow("minus left-associative") << "1 - 2 - 3" << "1 - 2 - 3" << "(1 - 2) - 3";
    QTest::newRow("explicit right grouping") << "1 - (2 - 3)" << "1 - (2 - 3)" << "1 - (2 - 3)";
    QTest::newRow("times over plus") << "1 + 2 * 3 / 4" << "1 + 2 * 3 / 4" << "1 + ((2 * 3) / 4)";
    QTest::newRow("power right-associative") << "2^3^2" << "2^3^2" << "2^(3^2)";
    QTest::newRow("sign looser than power") << "-2^2" << "-2^2" << "-(2^2)";
    QTest::newRow("signed base") << "(-2)^2" << "(-2)^2" << "(-2)^2";
    QTest::newRow("signed exponent") << "2^-1" << "2^(-1)" << "2^(-1)";
    QTest::newRow("sign tighter than times") << "-(1 + 2) * 3" << "-(1 + 2) * 3" << "(-(1 + 2)) * 3";
    QTest::newRow("minus a negative") << "3 - -2 + +1" << "3 - -2 + +1" << "(3 - (-2)) + (+1)";
    QTest::newRow("any case") << "abs(-1) = true | Log10(x) <> False" << "ABS(-1) = TRUE | LOG10(x) <> FALSE"
                              << "(ABS(-1) = TRUE) | (LOG10(x) <> FALSE)";
    QTest::newRow("every function")
        << "ABS(1)+CEIL(1)+FLOOR(1)+FRAC(1)+INT(1)+LOG10(1)+LOG(1)+EXP(1)+SIN(1)+COS(1)+TAN(1)+ASIN(1)+ACOS(1)"
           "+ATN(1)+ARCS(1)+ARCC(1)+SQR(1)"
        << "ABS(1) + CEIL(1) + FLOOR(1) + FRAC(1) + INT(1) + LOG10(1) + LOG(1) + EXP(1) + SIN(1) + COS(1) + "
           "TAN(1) + ASIN(1) + ACOS(1) + ATN(1) + ARCS(1) + ARCC(1) + SQR(1)"
        << "(((((((((((((((ABS(1) + CEIL(1)) + FLOOR(1)) + FRAC(1)) + INT(1)) + LOG10(1)) + LOG(1)) + EXP(1)) + "
           "SIN(1)) + COS(1)) + TAN(1)) + ASIN(1)) + ACOS(1)) + ATN(1)) + ARCS(1)) + ARCC(1)) + SQR(1)";
    QTest::newRow("number forms") << "1.5E3 + .5 + 3. + 2e-2" << "1.5E3 + .5 + 3. + 2e-2"
                                  << "((1.5E3 + .5) + 3.) + 2e-2";
    QTest::newRow("escaped quote") << "\"say \"\"hi\"\"\" = [[A]]" << "\"say \"\"hi\"\"\" = [[A]]"
                                   << "\"say \"\"hi\"\"\" = [[A]]";
    QTest::newRow("blanks inside references") << "[[  Age  ]] = << Cars : Price ; Mini >>"
                                              << "[[Age]] = <<Cars:Price;Mini>>" << "[[Age]] = <<Cars:Price;Mini>>";
    QTest::newRow("short selector forms") << "<<Cars>> = <<Cars:Price>>" << "<<Cars>> = <<Cars:Price>>"
                                          << "<<Cars>> = <<Cars:Price>>";
    QTest::newRow("numbers beyond a double") << "1e-400 < 2e-324 & 1e999 > 1" << "1e-400 < 2e-324 & 1e999 > 1"
                                             << "(1e-400 < 2e-324) & (1e999 > 1)";
    QTest::newRow("redundant parentheses") << "((( [[A]] )))" << "[[A]]" << "[[A]]";
    QTest::newRow("tabs separate") << "1\t<\t2" << "1 < 2" << "1 < 2";
    QTest::newRow("deep but allowed") << QString(150, QLatin1Char('(')) + "1" + QString(150, QLatin1Char(')'))
                                      << "1" << "1";
}

void TestExpressionParser::accepted()
{
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    QFETCH(QString, grouped);
    const ExpressionParseResult result = ExpressionParser::parse(text);
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(result.message, QString());
    QCOMPARE(result.position, 0);
    QCOMPARE(result.root->toText(), canonical);
    QCOMPARE(result.root->toText(ExpressionNode::Parentheses::Full), grouped);
    // The canonical text parses back into the same tree.
    const ExpressionParseResult again = ExpressionParser::parse(canonical);
    QVERIFY(again.ok());
    QCOMPARE(again.root->toText(ExpressionNode::Parentheses::Full), grouped);
}

void TestExpressionParser::rejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << "" << 1 << "The expression is empty.";
    QTest::newRow("unclosed parenthesis") << "(3 + 4" << 1
                                          << "Missing closing parenthesis for the parenthesis at position 1.";
    QTest::newRow("unclosed function") << "ABS( [[A]] - 3 > 2" << 4
                                       << "Missing closing parenthesis for the parenthesis at position 4.";
    QTest::newRow("extra closing") << "3 + 4)" << 6
                                   << "Closing parenthesis without an opening parenthesis at position 6.";
    QTest::newRow("dangling operator") << "[[A]] >" << 7 << "Missing operand after '>' at position 7.";
    QTest::newRow("dangling sign") << "1 + -" << 5 << "Missing operand after '-' at position 5.";
    QTest::newRow("open parenthesis at end") << "2 * (" << 5 << "Missing operand after '(' at position 5.";
    QTest::newRow("doubled operator") << "3 + * 4" << 5 << "Unexpected operator '*' at position 5.";
    QTest::newRow("doubled equals") << "[[A]] = = 3" << 9 << "Unexpected operator '=' at position 9.";
    QTest::newRow("leading operator") << "<= 3" << 1 << "Unexpected operator '<=' at position 1.";
    QTest::newRow("unfilled function slot") << "ABS(  ) > 2" << 7
                                            << "Missing operand before the closing parenthesis at position 7.";
    QTest::newRow("empty parentheses") << "()" << 2 << "Missing operand before the closing parenthesis at position 2.";
    QTest::newRow("two references") << "[[A]] [[B]]" << 7 << "Missing operator before '[[B]]' at position 7.";
    QTest::newRow("two groups") << "(1) (2)" << 5 << "Missing operator before '(' at position 5.";
    QTest::newRow("word operator") << "[[A]] AND [[B]]" << 7 << "Missing operator before 'AND' at position 7.";
    QTest::newRow("operand inside parentheses") << "(1 2)" << 4 << "Missing operator before '2' at position 4.";
    QTest::newRow("unknown function") << "1 + FOO( 3 )" << 5 << "Unknown function 'FOO' at position 5.";
    QTest::newRow("function without parentheses") << "sin 3" << 1
                                                   << "Missing '(' after the function SIN at position 1.";
    QTest::newRow("unclosed control reference") << "1 < [[Age > 3" << 5
                                                << "Missing ']]' to close the control reference at position 5.";
    QTest::newRow("unclosed selector reference")
        << "<<Cars:Price > 3" << 1 << "Missing '>>' to close the Solution Set Selector reference at position 1.";
    QTest::newRow("unclosed text") << "[[A]] = \"Checked" << 9
                                   << "Missing closing double quote for the text at position 9.";
    QTest::newRow("text ending in escaped quote") << "\"a\"\"" << 1
                                                  << "Missing closing double quote for the text at position 1.";
    QTest::newRow("empty control reference") << "[[  ]] = 1" << 1 << "Empty control reference at position 1.";
    // Such a name cannot be written back: "[[A]]]" reads as [[A]] and a stray bracket.
    QTest::newRow("name of one bracket") << "[[] ]] = 1" << 1
                                         << "A control reference cannot name a control ending in ']' at position 1.";
    QTest::newRow("name ending in a bracket") << "2 < [[Size] ]]" << 5
                                              << "A control reference cannot name a control ending in ']' at position 5.";
    const QString badSelector = QStringLiteral("Invalid Solution Set Selector reference at position %1: give a "
                                               "selector, then optionally ':' and a property, then optionally ';' "
                                               "and an item.");
    // Likewise "<<Cars:Size>>>>" would read as <<Cars:Size>> and a stray '>'.
    const QString angle = QStringLiteral("A Solution Set Selector reference cannot end in '>' at position %1.");
    QTest::newRow("selector ending in '>'") << "<<Cars> >> = 1" << 1 << angle.arg(1);
    QTest::newRow("property ending in '>'") << "1 < <<Cars:Size> >>" << 5 << angle.arg(5);
    QTest::newRow("item ending in '>'") << "<<Cars:Size;Mini> >> = 1" << 1 << angle.arg(1);
    QTest::newRow("selector name inside") << "<<A> -- <<B>C> >>" << 1 << angle.arg(1);
    QTest::newRow("selector without name") << "<<:Price>> > 1" << 1 << badSelector.arg(1);
    QTest::newRow("selector with empty part") << "1 = <<Cars:;Mini>>" << 5 << badSelector.arg(5);
    QTest::newRow("selector with four parts") << "<<A:B;C;D>>" << 1 << badSelector.arg(1);
    QTest::newRow("selector, then the item") << "<<A;C>>" << 1 << badSelector.arg(1);
    QTest::newRow("item before the property") << "<<A;C:B>>" << 1 << badSelector.arg(1);
    QTest::newRow("second property") << "<<A:B:C>>" << 1 << badSelector.arg(1);
    QTest::newRow("second item") << "<<A:B;C;>>" << 1 << badSelector.arg(1);
    QTest::newRow("extra part after the item") << "<<A:B;C:D>>" << 1 << badSelector.arg(1);
    QTest::newRow("two decimal points") << "1.2.3 > 1" << 1 << "Invalid number '1.2.3' at position 1.";
    QTest::newRow("number glued to a name") << "12abc" << 1 << "Invalid number '12abc' at position 1.";
    QTest::newRow("exponent without digits") << "2 * 1e" << 5 << "Invalid number '1e' at position 5.";
    QTest::newRow("stray percent sign") << "3 % 4" << 3 << "Unexpected character '%' at position 3.";
    QTest::newRow("single bracket") << "[A] = 1" << 1 << "Unexpected character '[' at position 1.";
    QTest::newRow("comma") << "ABS(1, 2)" << 6 << "Unexpected character ',' at position 6.";
    QTest::newRow("leftmost error wins") << "3 + * \"abc" << 5 << "Unexpected operator '*' at position 5.";
    QTest::newRow("nested too deeply") << QString(300, QLatin1Char('(')) + "1" + QString(300, QLatin1Char(')'))
                                       << 201 << "The expression is nested too deeply at position 201.";
    QTest::newRow("too many signs") << QString(300, QLatin1Char('-')) + "1" << 201
                                    << "The expression is nested too deeply at position 201.";
}

void TestExpressionParser::rejected()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, message);
    const ExpressionParseResult result = ExpressionParser::parse(text);
    QVERIFY(!result.ok());
    QCOMPARE(result.position, position);
    QCOMPARE(result.message, message);
}

void TestExpressionParser::nodeValues()
{
    const ExpressionParseResult result = ExpressionParser::parse(QStringLiteral("-1.5e1 * \"a\"\"b\" | Seats & false"));
    QVERIFY(result.ok());
    const ExpressionNode& root = *result.root;
    QCOMPARE(root.kind(), ExpressionKind::Binary);
    QCOMPARE(root.op(), ExpressionOperator::Or);
    QCOMPARE(root.position(), 17);

    const ExpressionNode& product = root.operand(0);
    QCOMPARE(product.op(), ExpressionOperator::Multiply);
    const ExpressionNode& negated = product.operand(0);
    QCOMPARE(negated.kind(), ExpressionKind::Unary);
    QCOMPARE(negated.op(), ExpressionOperator::Negate);
    QCOMPARE(negated.operand(0).kind(), ExpressionKind::Number);
    QCOMPARE(negated.operand(0).numberValue(), 15.0);
    QCOMPARE(negated.operand(0).position(), 2);
    QCOMPARE(product.operand(1).kind(), ExpressionKind::Text);
    QCOMPARE(product.operand(1).text(), QStringLiteral("a\"b"));

    const ExpressionNode& conjunction = root.operand(1);
    QCOMPARE(conjunction.operand(0).kind(), ExpressionKind::Property);
    QCOMPARE(conjunction.operand(0).text(), QStringLiteral("Seats"));
    QCOMPARE(conjunction.operand(1).kind(), ExpressionKind::Boolean);
    QCOMPARE(conjunction.operand(1).booleanValue(), false);
}

void TestExpressionParser::references()
{
    const ExpressionParseResult result = ExpressionParser::parse(
        QStringLiteral("[[Age]] > 18 & <<Cars:Price;Mini>> > [[ age ]] | <<Cars>> = ABS([[X]] - Price)"));
    QVERIFY(result.ok());
    QCOMPARE(result.root->controlReferences(), (QStringList{"Age", "age", "X"}));
    const QList<SelectorReference> expected{{"Cars", "Price", "Mini"}, {"Cars", "", ""}};
    QCOMPARE(result.root->selectorReferences(), expected);
}

void TestExpressionParser::numberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("whole") << "12" << true;
    QTest::newRow("signed decimal") << "-3.5" << true;
    QTest::newRow("point first") << ".5" << true;
    QTest::newRow("point last") << "+5." << true;
    QTest::newRow("exponent") << "1E+3" << true;
    QTest::newRow("underflows a double") << "4e-325" << true;
    QTest::newRow("overflows a double") << "1e400" << true;
    QTest::newRow("blanks around") << " 7\t" << true;
    QTest::newRow("point alone") << "." << false;
    QTest::newRow("exponent without digits") << "1e" << false;
    QTest::newRow("blank after the sign") << "- 5" << false;
    QTest::newRow("infinity") << "inf" << false;
    QTest::newRow("not a number") << "nan" << false;
    QTest::newRow("hexadecimal") << "0x10" << false;
    QTest::newRow("group separator") << "1,000" << false;
    QTest::newRow("other digits") << QString::fromUtf8("\u0661\u0662") << false;
    QTest::newRow("empty") << "" << false;
}

// One number rule: the program's recogniser, and the expression check for unsigned numbers.
void TestExpressionParser::numberRule()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QCOMPARE(MCommonUtil::IsNumeric(text), isNumber);
    const QString unsignedNumber = text.trimmed();
    if (!unsignedNumber.isEmpty() && (unsignedNumber.front().isDigit() || unsignedNumber.front() == '.')) {
        const ExpressionParseResult result = ExpressionParser::parse(unsignedNumber);
        QCOMPARE(result.ok(), isNumber);
    }
}

KV_REGISTER_TEST(TestExpressionParser)
#include "tst_ExpressionParser.moc"
