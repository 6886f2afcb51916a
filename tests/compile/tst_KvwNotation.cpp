#include "CompileFixture.h"
#include "common/TestRegistry.h"

#include "compile/KvwNotation.h"
#include "model/MDecisionDataUtil.h"

#include <QTest>

using namespace Qt::StringLiterals;

class KvwNotationTest : public QObject {
    Q_OBJECT

private:
    CompileFixture m_tree;
    KvwNotation notation(bool web)
    {
        KvwNotation result(m_tree.decisions, m_tree.numbers);
        result.setCompilingKVW(web);
        result.setCompilingKVD(!web);
        return result;
    }

private slots:
    void initTestCase() { m_tree.addNotationTree(); }

    void escaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("less-than and ampersand") << u"a<b & c"_s << u"a&lt;b &amp; c"_s;
        QTest::newRow("CR LF gives two breaks") << u"one\r\ntwo"_s << u"one&lt;BR&gt;&lt;BR&gt;two"_s;
        QTest::newRow("quotes") << u"say \"hi\""_s << u"say &quot;hi&quot;"_s;
        QTest::newRow("escaped angle brackets") << u"\\<B\\>x"_s << u"&lt; B&gt; x"_s;
        QTest::newRow("other backslash copied") << u"C:\\dir\\[x]"_s << u"C:\\dir\\[x]"_s;
        QTest::newRow("apostrophe and ]]> stay readable") << u"it's ]]>"_s << u"it's ]]&gt;"_s;
        QTest::newRow("control character dropped") << u"a\u0001b\tc"_s << u"ab\tc"_s;
    }
    void escaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(KvwNotation::ConvertStringToKvwFormat(text), expected);
    }

    void references_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first control by name") << true << u"Hello [[Start]]!"_s << u"Hello [[1]]!"_s;
        QTest::newRow("by id, renumbered") << true << u"[[5]] and [[ 12 ]]"_s << u"[[2]] and [[5]]"_s;
        QTest::newRow("name without regard to case") << true << u"[[ age ]]+1"_s << u"[[2]]+1"_s;
        QTest::newRow("unknown left") << true << u"[[Nobody]] [[99]]"_s << u"[[Nobody]] [[99]]"_s;
        QTest::newRow("unclosed left") << true << u"[[Age"_s << u"[[Age"_s;
        QTest::newRow("=FALSE turned around") << true << u"[[Member]]=FALSE"_s << u"[[3]]<>TRUE"_s;
        QTest::newRow("<>false turned around") << true << u"[[Go]] <> false)"_s << u"[[4]]=TRUE)"_s;
        QTest::newRow("a longer word is no FALSE") << true << u"[[Member]]=FALSEHOOD"_s << u"[[3]]=FALSEHOOD"_s;
        QTest::newRow("no turn-around for others") << true << u"[[Age]]=FALSE"_s << u"[[2]]=FALSE"_s;
        QTest::newRow("desktop keeps names") << false << u"[[Start]] [[5]]"_s << u"[[Start]] [[2]]"_s;
        QTest::newRow("desktop keeps FALSE") << false << u"[[7]]=FALSE"_s << u"[[3]]=FALSE"_s;
    }
    void references()
    {
        QFETCH(bool, web);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(notation(web).UpdateIntIDRefs(text), expected);
    }

    void booleanReferences_data()
    {
        QTest::addColumn<bool>("web");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("web checked") << true << u"[[3]]=\"Checked\""_s << u"[[3]]=True"_s;
        QTest::newRow("web not checked, bare words") << true << u"[[3]] = Not Checked"_s << u"[[3]] <> True"_s;
        QTest::newRow("web reversed, false") << true << u"\"false\"<>[[Member]]"_s << u"True=[[Member]]"_s;
        QTest::newRow("web pushed") << true << u"[[4]]=\"Pushed\" & [[2]]>1"_s << u"[[4]]=True & [[2]]>1"_s;
        QTest::newRow("command ignores check words") << true << u"[[4]]=\"Checked\""_s << u"[[4]]=\"Checked\""_s;
        QTest::newRow("other controls untouched") << true << u"[[2]]=\"Checked\""_s << u"[[2]]=\"Checked\""_s;
        QTest::newRow("desktop cleared") << false << u"[[Member]] = \"Not Checked\""_s << u"[[Member]] = FALSE"_s;
        QTest::newRow("desktop set, operator kept") << false << u"[[3]]<>\"checked\""_s << u"[[3]]<>TRUE"_s;
        QTest::newRow("desktop pushed") << false << u"[[Go]]=True"_s << u"[[Go]]=TRUE"_s;
    }
    void booleanReferences()
    {
        QFETCH(bool, web);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(notation(web).ConvertBooleanControlRef(text), expected);
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number comparison") << u"[[2]] > 18"_s << u"([[2]](num)>18)"_s;
        QTest::newRow("reference moved left, operator mirrored") << u"18 < [[2]]"_s << u"([[2]](num)>18)"_s;
        QTest::newRow("text comparison") << u"[[5]] = \"Red\""_s << u"([[5]](stringReturnQuotes)=\"Red\")"_s;
        QTest::newRow("bare word quoted") << u"Red = [[5]]"_s << u"([[5]](stringReturnQuotes)=\"Red\")"_s;
        QTest::newRow("two references") << u"[[5]] <> [[6]]"_s << u"([[5]]<>[[6]])"_s;
        QTest::newRow("and of comparisons") << u"[[2]] > 18 & [[3]] = True"_s
                                            << u"(([[2]](num)>18)&([[3]](bool)=True))"_s;
        QTest::newRow("reference alone is a condition") << u"[[3]]"_s << u"[[3]](bool)"_s;
        QTest::newRow("or of references") << u"[[3]] | [[4]]"_s << u"([[3]](bool)|[[4]](bool))"_s;
        QTest::newRow("arithmetic") << u"[[2]] + [[1]] * 2 >= 10"_s << u"(([[2]](num)+([[1]](num)*2))>=10)"_s;
        QTest::newRow("function") << u"ABS([[2]]) > 3"_s << u"(ABS([[2]](num))>3)"_s;
        QTest::newRow("inverse sine as the web names it") << u"ASIN(1) > 0"_s << u"(ARCS(1)>0)"_s;
        QTest::newRow("unary minus") << u"-[[2]] < 0"_s << u"(-[[2]](num)<0)"_s;
        QTest::newRow("current item property") << u"<<Cars:Price;-1>> < 5000"_s << u"(\"Cars\":\"Price\"(num)<5000)"_s;
        QTest::newRow("item property and reference") << u"<<Cars:Price;Mini>> = [[2]]"_s
                                                     << u"(<<Cars:Price;Mini>>=[[2]])"_s;
        QTest::newRow("quotes in text") << u"[[6]] = \"say \"\"hi\"\"\""_s
                                        << u"([[6]](stringReturnQuotes)=\"say +dquothi+dquot\")"_s;
        QTest::newRow("does not parse: left as written") << u"[[2]] >"_s << u"[[2]] >"_s;
    }
    void expressions()
    {
        QFETCH(QString, expression);
        QFETCH(QString, expected);
        QCOMPARE(notation(true).ConvertExpression(expression, KvwNotation::BooleanCast), expected);
    }

    void operands_data()
    {
        QTest::addColumn<QString>("operand");
        QTest::addColumn<int>("cast");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text reference") << u"[[2]]"_s << 0 << u"[[2]](stringReturnQuotes)"_s;
        QTest::newRow("text literal quoted") << u"abc"_s << 0 << u"\"abc\""_s;
        QTest::newRow("text already quoted") << u"\"abc\""_s << 0 << u"\"abc\""_s;
        QTest::newRow("boolean word") << u"false"_s << 1 << u"false"_s;
        QTest::newRow("boolean reference") << u"[[3]]"_s << 1 << u"[[3]](bool)"_s;
        QTest::newRow("number stays") << u"12.5"_s << 2 << u"12.5"_s;
        QTest::newRow("number reference") << u"[[2]]"_s << 2 << u"[[2]](num)"_s;
        QTest::newRow("current item reduced") << u"<<Cars:Price;-1>>"_s << 3 << u"\"Cars\":\"Price\""_s;
        QTest::newRow("no cast") << u"[[2]]"_s << 3 << u"[[2]]"_s;
    }
    void operands()
    {
        QFETCH(QString, operand);
        QFETCH(int, cast);
        QFETCH(QString, expected);
        QCOMPARE(KvwNotation::ConvertOperand(operand, static_cast<KvwNotation::CastType>(cast)), expected);
    }

    void selectorProperties_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("expected");
        QTest::newRow("properties and a text")
            << u"Price > 5000 & Fuel = \"Diesel\""_s << u"<<Cars:Price;-1>> > 5000 & <<Cars:Fuel;-1>> = \"Diesel\""_s;
        QTest::newRow("function, reference and True kept")
            << u"ABS(Price) > [[2]] | True"_s << u"ABS(<<Cars:Price;-1>>) > [[2]] | True"_s;
        QTest::newRow("keywords kept") << u"KILL"_s << u"KILL"_s;
    }
    void selectorProperties()
    {
        QFETCH(QString, expression);
        QFETCH(QString, expected);
        QCOMPARE(KvwNotation::ConvertKillSortToKvw(u" Cars "_s, expression), expected);
    }

    void actions_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("go by name") << u"!GO Age"_s << u"\t\t<Action>!GO [[2]];</Action>\n"_s;
        QTest::newRow("go by id, keyword as written") << u"!go 7"_s << u"\t\t<Action>!go [[3]];</Action>\n"_s;
        QTest::newRow("go to FinishLink") << u"!GO FinishLink"_s << u"\t\t<Action>!GO FinishLink;</Action>\n"_s;
        QTest::newRow("set number") << u"!SET [[Age]] = 30"_s << u"\t\t<Action>!SET [[2]]=30;</Action>\n"_s;
        QTest::newRow("set check") << u"!SET [[Member]]=Checked"_s << u"\t\t<Action>!SET [[3]]=True;</Action>\n"_s;
        QTest::newRow("set text with quotes")
            << u"!SET [[Name]] = \"He said \"hi\"\""_s
            << u"\t\t<Action>!SET [[6]]=&quot;He said +dquothi+dquot&quot;;</Action>\n"_s;
        QTest::newRow("set text with doubled quotes")
            << u"!SET [[Name]] = \"He said \"\"hi\"\"\""_s
            << u"\t\t<Action>!SET [[6]]=&quot;He said +dquothi+dquot&quot;;</Action>\n"_s;
        QTest::newRow("set from a reference")
            << u"!SET [[Name]]=[[Age]]"_s << u"\t\t<Action>!SET [[6]]=[[2]](stringReturnQuotes);</Action>\n"_s;
        QTest::newRow("set by arithmetic")
            << u"!SET [[Age]]=[[Age]]+1"_s << u"\t\t<Action>!SET [[2]]=([[2]](num)+1);</Action>\n"_s;
        QTest::newRow("default word") << u"!DEFAULT [[Color]] = Red"_s
                                      << u"\t\t<Action>!DEFAULT [[5]]=&quot;Red&quot;;</Action>\n"_s;
        QTest::newRow("kill")
            << u"!KILL Cars : Price > 5000"_s
            << u"\t\t<Action>!KILL Cars:(&quot;Cars&quot;:&quot;Price&quot;(num)&gt;5000);</Action>\n"_s;
        QTest::newRow("sort with orders")
            << u"!SORT Cars: Price, Speed; Ascending, Descending"_s
            << u"\t\t<Action>!SORT Cars:&quot;Cars&quot;:&quot;Price&quot;,&quot;Cars&quot;:&quot;Speed&quot;; False, True;</Action>\n"_s;
        QTest::newRow("jump")
            << u"!JUMP http://x.org/?a=1&b=2"_s
            << u"\t\t<Action>!JUMP &quot;http://x.org/?a=1&amp;b=2&quot;(stringReturnQuotes);</Action>\n"_s;
        QTest::newRow("call escaped") << u"!CALL Hello <you>"_s << u"\t\t<Action>!CALL Hello &lt;you&gt;;</Action>\n"_s;
        QTest::newRow("noop") << u"!NOOP"_s << u"\t\t<Action>!NOOP;</Action>\n"_s;
    }
    void actions()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        int open = 0;
        QCOMPARE(notation(true).AddKVWAction(line, open, true), expected);
        QCOMPARE(open, 0);
    }

    void optionsAndActions_data()
    {
        using namespace MDecisionDataUtil;
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("if block in one element")
            << QStringList{u"^Yes"_s, u"!IF [[Age]] > 18"_s, u"!GO Start"_s, u"!ELSE"_s, u"!GO Color"_s, u"!ENDIF"_s,
                           u"^No"_s, u"!GO Name"_s}
            << int(Radio)
            << u"\t\t<Option>Yes\n\t\t\t<Action>!IF ([[2]](num)&gt;18);,!GO [[1]];,!ELSE;,!GO [[5]];,!ENDIF;</Action>\n"
               "\t\t</Option>\n\t\t<Option>No\n\t\t\t<Action>!GO [[6]];</Action>\n\t\t</Option>\n"_s;
        QTest::newRow("block left open closes at the next option")
            << QStringList{u"^Yes"_s, u"!IF [[Member]]"_s, u"!GO Start"_s, u"^No"_s} << int(Radio)
            << u"\t\t<Option>Yes\n\t\t\t<Action>!IF [[3]](bool);,!GO [[1]];,!ENDIF;</Action>\n\t\t</Option>\n"
               "\t\t<Option>No\n\t\t</Option>\n"_s;
        QTest::newRow("nested pre-action blocks close at the end")
            << QStringList{u"!IF [[Member]]"_s, u"!IF [[Age]] > 1"_s, u"!NOOP"_s} << int(Radio)
            << u"\t\t<Action>!IF [[3]](bool);,!IF ([[2]](num)&gt;1);,!NOOP;,!ENDIF;,!ENDIF;</Action>\n"_s;
        QTest::newRow("stray ENDIF stays alone")
            << QStringList{u"!ENDIF"_s, u"!GO Start"_s} << int(Radio)
            << u"\t\t<Action>!ENDIF;</Action>\n\t\t<Action>!GO [[1]];</Action>\n"_s;
        QTest::newRow("help and other lines skipped")
            << QStringList{u"?lonely help"_s, u"^A & B"_s, u"?help"_s, u"note"_s} << int(List)
            << u"\t\t<Option>A &amp; B\n\t\t</Option>\n"_s;
        QTest::newRow("check words")
            << QStringList{u"^Checked"_s, u"^not checked"_s, u"^Pushed"_s, u"^Maybe"_s} << int(Check)
            << u"\t\t<Option>True\n\t\t</Option>\n\t\t<Option>False\n\t\t</Option>\n\t\t<Option>True\n\t\t</Option>\n"
               "\t\t<Option>\n\t\t</Option>\n"_s;
        QTest::newRow("sub-ranges")
            << QStringList{u"^1-5"_s, u"!GO Start"_s, u"^10-"_s, u"^-3"_s, u"^7"_s} << int(NumBox)
            << u"\t\t<SubRange From='1' To='5'>\n\t\t\t<Action>!GO [[1]];</Action>\n\t\t</SubRange>\n"
               "\t\t<SubRange From='10' To=''>\n\t\t</SubRange>\n\t\t<SubRange From='' To='3'>\n\t\t</SubRange>\n"
               "\t\t<SubRange From='7' To='7'>\n\t\t</SubRange>\n"_s;
    }
    void optionsAndActions()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, type);
        QFETCH(QString, expected);
        const bool numeric = type == MDecisionDataUtil::NumBox;
        QCOMPARE(notation(true).GetKVWOptsAndActs(lines, numeric, static_cast<qint16>(type)), expected);
    }
};

KV_REGISTER_TEST(KvwNotationTest)
#include "tst_KvwNotation.moc"
