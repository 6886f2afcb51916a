#include "common/TestRegistry.h"

#include "runtime/WebNotationReader.h"

#include <QTest>

// The web notation of Action elements read back into the lines the engine runs.
class TestWebNotationReader : public QObject {
    Q_OBJECT

private slots:
    void actions_data();
    void actions();
};

void TestWebNotationReader::actions_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("lines");

    QTest::newRow("go by name") << "!GO [[2]];" << "!GO Member";
    QTest::newRow("go to a control without a name") << "!GO [[9]];" << "!GO 9";
    QTest::newRow("kill on a property") << R"(!KILL Laptops:("Laptops":"Price"(num)>[[1]](num));)"
                                        << "!KILL Laptops: Price > [[Budget]]";
    QTest::newRow("another selector's item") << R"(!KILL Other:("Laptops":"Price"(num)>5);)"
                                             << "!KILL Other: <<Laptops:Price;-1>> > 5";
    QTest::newRow("sort with directions") << R"(!SORT Laptops:"Laptops":"Battery",ABS("Laptops":"Price"(num)); True, False;)"
                                          << "!SORT Laptops: Battery, ABS(Price); True, False";
    QTest::newRow("quotes inside a text") << R"(!SET [[3]]="say +dquothi+dquot & <go>";)"
                                          << R"(!SET [[SortOrder]] = "say ""hi"" & <go>")";
    QTest::newRow("arithmetic") << "!DEFAULT [[1]]=([[1]](num)+(2*-[[1]](num)));"
                                << "!DEFAULT [[Budget]] = [[Budget]] + 2 * -[[Budget]]";
    QTest::newRow("condition on a number and a check box")
        << "!IF (([[1]](num)>=2.5E3)&([[2]](bool)<>True));" << "!IF [[Budget]] >= 2.5E3 & [[Member]] <> TRUE";
    QTest::newRow("count of a selector") << "!ELSEIF (<<Laptops>>(num)<3);" << "!ELSEIF <<Laptops>> < 3";
    QTest::newRow("an if block in one element")
        << R"(!IF ([[1]](num)>5);,!SET [[3]]="a;,!GO b";,!ELSE;,!GO [[2]];,!ENDIF;)"
        << "!IF [[Budget]] > 5\n!SET [[SortOrder]] = \"a;,!GO b\"\n!ELSE\n!GO Member\n!ENDIF";
    QTest::newRow("free text keeps its semicolon") << "!CALL report [[2]];;" << "!CALL report [[Member]];";
    QTest::newRow("address") << R"(!JUMP "http://example.com/?q=+dquotx+dquot"(stringReturnQuotes);)"
                             << R"(!JUMP http://example.com/?q="x")";
    QTest::newRow("expression left as written") << "!IF (1+;" << "!IF (1+";
}

void TestWebNotationReader::actions()
{
    QFETCH(QString, element);
    QFETCH(QString, lines);
    const WebNotationReader reader({{1, QStringLiteral("Budget")}, {2, QStringLiteral("Member")}, {3, QStringLiteral("SortOrder")}});
    QCOMPARE(reader.actions(element).join(QLatin1Char('\n')), lines);
}

KV_REGISTER_TEST(TestWebNotationReader)
#include "tst_WebNotationReader.moc"
