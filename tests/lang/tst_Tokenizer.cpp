#include "common/TestRegistry.h"

#include "lang/Tokenizer.h"

#include <QTest>

namespace {

const QString kRecordDelimiters = QStringLiteral("\t,");
const QString kReferenceDelimiters = QStringLiteral("<>[]");
const QString kWalkExample = QStringLiteral("[[Age]] > 18 & <<Cars:Price;Mini>>");

enum Switch { Quoted = 1, Empty = 2, Delimiters = 4 };

Tokenizer makeTokenizer(int switches, const QString& delimiters, const QString& text)
{
    Tokenizer tokenizer;
    tokenizer.setKeepQuotedFields((switches & Quoted) != 0);
    tokenizer.setKeepEmptyTokens((switches & Empty) != 0);
    tokenizer.setKeepDelimiters((switches & Delimiters) != 0);
    tokenizer.setDelimiters(delimiters);
    tokenizer.setText(text);
    return tokenizer;
}

QStringList tokensOf(const Tokenizer& tokenizer)
{
    QStringList tokens;
    for (int i = 1; i <= tokenizer.Count(); ++i)
        tokens.append(tokenizer.Token(i).Value());
    return tokens;
}

// DelimiterAt for every token and the run after the last one.
QStringList runsOf(const Tokenizer& tokenizer)
{
    QStringList runs;
    for (int i = 1; i <= tokenizer.Count() + 1; ++i)
        runs.append(tokenizer.DelimiterAt(i));
    return runs;
}

} // namespace

class TestTokenizer : public QObject {
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void referenceWalk_data();
    void referenceWalk();
    void settingsResplit();
    void outOfRange();
    void checkExpression_data();
    void checkExpression();
};

void TestTokenizer::split_data()
{
    QTest::addColumn<int>("switches");
    QTest::addColumn<QString>("delimiters");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tokens");
    QTest::addColumn<QStringList>("runs");

    const int record = Quoted | Empty;
    QTest::newRow("record keeps quoted and empty fields")
        << record << kRecordDelimiters << "\"Hello, world\",3,,x\ty"
        << QStringList{"Hello, world", "3", "", "x", "y"} << QStringList{"", ",", ",", ",", "\t", ""};
    QTest::newRow("record empty at both ends") << record << kRecordDelimiters << ",a,"
                                               << QStringList{"", "a", ""} << QStringList{"", ",", ",", ""};
    QTest::newRow("doubled quote is one quote") << record << kRecordDelimiters << "\"say \"\"hi\"\"\",x"
                                                << QStringList{"say \"hi\"", "x"} << QStringList{"", ",", ""};
    QTest::newRow("quote inside a field is ordinary") << record << kRecordDelimiters << "ab\"c,d\""
                                                      << QStringList{"ab\"c", "d\""} << QStringList{"", ",", ""};
    QTest::newRow("text after closing quote joins") << record << kRecordDelimiters << "\"a,b\"c,d"
                                                    << QStringList{"a,bc", "d"} << QStringList{"", ",", ""};
    QTest::newRow("unclosed quote runs to the end") << record << kRecordDelimiters << "x,\"a,b"
                                                    << QStringList{"x", "a,b"} << QStringList{"", ",", ""};
    QTest::newRow("quoted empty field kept without empty switch")
        << int(Quoted) << kRecordDelimiters << "\"\",,x" << QStringList{"", "x"} << QStringList{"", ",,", ""};
    QTest::newRow("empty text has no tokens") << record << kRecordDelimiters << "" << QStringList{}
                                              << QStringList{""};
    QTest::newRow("no delimiters") << 0 << "" << "a,b" << QStringList{"a,b"} << QStringList{"", ""};
    QTest::newRow("quotes off") << 0 << kRecordDelimiters << "\"a,b\"" << QStringList{"\"a", "b\""}
                                << QStringList{"", ",", ""};
    QTest::newRow("runs between dropped empties") << 0 << kRecordDelimiters << ",a,\t,b,"
                                                  << QStringList{"a", "b"} << QStringList{",", ",\t,", ","};
    QTest::newRow("reference runs") << 0 << kReferenceDelimiters << kWalkExample
                                    << QStringList{"Age", " ", " 18 & ", "Cars:Price;Mini"}
                                    << QStringList{"[[", "]]", ">", "<<", ">>"};
    QTest::newRow("glued runs") << 0 << kReferenceDelimiters << "[[A]]<<B>>" << QStringList{"A", "B"}
                                << QStringList{"[[", "]]<<", ">>"};
    QTest::newRow("delimiters as tokens") << int(Delimiters) << kReferenceDelimiters << kWalkExample
                                          << QStringList{"[", "[", "Age", "]", "]", " ", ">", " 18 & ", "<", "<",
                                                         "Cars:Price;Mini", ">", ">"}
                                          << QStringList(14, QString());
}

void TestTokenizer::split()
{
    QFETCH(int, switches);
    QFETCH(QString, delimiters);
    QFETCH(QString, text);
    QFETCH(QStringList, tokens);
    QFETCH(QStringList, runs);
    const Tokenizer tokenizer = makeTokenizer(switches, delimiters, text);
    QCOMPARE(tokensOf(tokenizer), tokens);
    QCOMPARE(runsOf(tokenizer), runs);
}

// The reference walk: with delimiters as tokens, a token after two "[" is a control name and a
// token after two "<" is a selector reference.
void TestTokenizer::referenceWalk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<QStringList>("selectors");
    QTest::newRow("example") << kWalkExample << QStringList{"Age"} << QStringList{"Cars:Price;Mini"};
    QTest::newRow("less than between references") << "[[A]]<[[ B ]]" << QStringList{"A", " B "} << QStringList{};
    QTest::newRow("glued") << "<<Cars>>>[[X]]" << QStringList{"X"} << QStringList{"Cars"};
    QTest::newRow("single brackets are not references") << "[A] < <B>" << QStringList{} << QStringList{};
}

void TestTokenizer::referenceWalk()
{
    QFETCH(QString, text);
    QFETCH(QStringList, controls);
    QFETCH(QStringList, selectors);
    const Tokenizer tokenizer = makeTokenizer(Delimiters, kReferenceDelimiters, text);
    QStringList foundControls;
    QStringList foundSelectors;
    for (int i = 3; i <= tokenizer.Count(); ++i) {
        const QString before = tokenizer.Token(i - 2).Value() + tokenizer.Token(i - 1).Value();
        if (before == QLatin1String("[["))
            foundControls.append(tokenizer.Token(i).Value());
        else if (before == QLatin1String("<<"))
            foundSelectors.append(tokenizer.Token(i).Value());
    }
    QCOMPARE(foundControls, controls);
    QCOMPARE(foundSelectors, selectors);
}

void TestTokenizer::settingsResplit()
{
    Tokenizer tokenizer;
    tokenizer.setText(QStringLiteral("a,,b"));
    QCOMPARE(tokenizer.Count(), 1);
    tokenizer.setDelimiters(QStringLiteral(","));
    QCOMPARE(tokensOf(tokenizer), (QStringList{"a", "b"}));
    tokenizer.setKeepEmptyTokens(true);
    QCOMPARE(tokensOf(tokenizer), (QStringList{"a", "", "b"}));
    tokenizer.setText(QStringLiteral("x"));
    QCOMPARE(tokensOf(tokenizer), QStringList{"x"});
}

void TestTokenizer::outOfRange()
{
    const Tokenizer tokenizer = makeTokenizer(0, QStringLiteral(","), QStringLiteral(",a,"));
    QCOMPARE(tokenizer.Count(), 1);
    QVERIFY(tokenizer.Token(0).IsEmpty());
    QVERIFY(tokenizer.Token(2).IsEmpty());
    QVERIFY(tokenizer.DelimiterAt(0).isEmpty());
    QVERIFY(tokenizer.DelimiterAt(3).isEmpty());
}

void TestTokenizer::checkExpression_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("message");
    QTest::newRow("well formed") << "[[Age]] > 18 & [[Member]] = \"Checked\"" << false << "";
    QTest::newRow("unbalanced") << "(3 + 4" << true << "Missing closing parenthesis for the parenthesis at position 1.";
    QTest::newRow("empty") << "" << true << "The expression is empty.";
}

void TestTokenizer::checkExpression()
{
    QFETCH(QString, text);
    QFETCH(bool, failed);
    QFETCH(QString, message);
    Tokenizer tokenizer;
    tokenizer.setText(QStringLiteral("1 +"));
    QVERIFY(tokenizer.CheckExpression());
    // The delimiters play no part: the whole text is checked.
    tokenizer.setDelimiters(QStringLiteral(" "));
    tokenizer.setText(text);
    QCOMPARE(tokenizer.CheckExpression(), failed);
    QCOMPARE(tokenizer.Message(), message);
}

KV_REGISTER_TEST(TestTokenizer)
#include "tst_Tokenizer.moc"
