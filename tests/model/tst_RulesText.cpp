#include "DecisionRecipe.h"
#include "common/Scaling.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "base/StartUpTables.h"
#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/RulesText.h"

#include <QTest>

namespace {

QString recordsText(const CmDecisionManager& decisions)
{
    return RulesText::Records(decisions).join('\n') + '\n';
}

QStringList names(const CmDecisionManager& decisions)
{
    QStringList read;
    for (int i = 1; i <= decisions.Count(); ++i)
        read << decisions.ItemByIndex(i)->strID();
    return read;
}

const QString Record = QStringLiteral("%1\t\t%2\t\t\t\"\"\tInfo\t");

} // namespace

class TestRulesText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartUpTables::Fill(); }

    void layoutOfTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("heading");
        const QString one = Record.arg(1).arg("One");
        const QString two = Record.arg(2).arg("Two");
        QTest::newRow("CR LF with BEGIN") << "BEGIN\r\n" + one + "\r\n" + two + "\r\n" << QStringList{"One", "Two"}
                                          << "";
        QTest::newRow("no BEGIN, no last line end") << one + "\n" + two << QStringList{"One", "Two"} << "";
        QTest::newRow("byte order mark, empty lines") << "\uFEFFBEGIN\n\n" + one + "\n\r\n" + two + "\n\n"
                                                      << QStringList{"One", "Two"} << "";
        QTest::newRow("header over several lines") << "1\t\tOne\t\t\t\"a\r\nb\nc, \\\"d\\\"\"\tInfo\t\n" + two
                                                   << QStringList{"One", "Two"} << "a\r\nb\nc, \"d\"";
    }
    void layoutOfTheText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        QFETCH(QString, heading);
        CmDecisionManager decisions;
        const RulesText::ReadResult read = RulesText::Read(text, decisions);
        QVERIFY2(read.ok, qPrintable(read.message));
        QCOMPARE(::names(decisions), names);
        if (!names.isEmpty())
            QCOMPARE(decisions.ItemByIndex(1)->Heading(), heading);
    }

    void malformedRecords_data()
    {
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("reason");
        const auto text = [](int id, const QStringList& args = {}) {
            QString message = LoadResString(id);
            for (const QString& arg : args)
                message = message.arg(arg);
            return message;
        };
        QTest::newRow("too few fields") << "2\t\tShort\t\t" << text(30401, {"5"});
        QTest::newRow("id is no number") << Record.arg("two", "A") << text(30402, {"two"});
        // Found by fuzzing: a NUL ended the number for one reader and not for the other.
        const QString nulled = QStringLiteral("15") + QChar(0) + QChar(0);
        QTest::newRow("id followed by NULs") << Record.arg(nulled, "A") << text(30402, {nulled});
        QTest::newRow("invalid name") << Record.arg("2", "2Fast") << text(30403, {"2Fast"});
        QTest::newRow("unknown interface") << "2\t\tA\t\t\t\"\"\tDial\t" << text(30405, {"Dial"});
        QTest::newRow("id used before") << Record.arg("1", "Other") << text(30409, {"1", "2"});
        QTest::newRow("id of the project") << Record.arg("7", "X") << text(30411, {"7"});
        QTest::newRow("quote runs into the next record") << "2\t\tA\t\t\t\"open\tInfo\t" << text(30414);
        QTest::newRow("unclosed quote at the end") << "2\t\tA\t\t\t\"\"\tInfo\t\"open" << text(30408);
    }
    void malformedRecords()
    {
        QFETCH(QString, bad);
        QFETCH(QString, reason);
        CmDecisionManager decisions;
        decisions.add(DecisionRecipe::build({"id=7", "name=Held"}));
        const QString after = bad.endsWith("open") ? QString() : "\n" + Record.arg(9).arg("After");
        const QString text = "BEGIN\n" + Record.arg(1).arg("Good") + "\n" + bad + after;
        const RulesText::ReadResult read = RulesText::Read(text, decisions);
        QVERIFY(!read.ok);
        QCOMPARE(read.line, 3);
        QCOMPARE(read.message, LoadResString(30400).arg("3", reason));
        QCOMPARE(names(decisions), QStringList{"Held"});
    }

    // Generated trees of every interface, written and read again: the same records, and the
    // work grows with the number of controls, not faster.
    void largeTreesRoundTrip()
    {
        CmDecisionManager original;
        SyntheticTree::fill(original, 30000);
        // The generator gives string boxes options; reading drops what an interface refuses.
        for (int i = 1; i <= original.Count(); ++i)
            MDecisionDataUtil::ValidOptions(*original.ItemByIndex(i));
        const QStringList records = RulesText::Records(original);
        // The first n records of the tree make a rules text of their own.
        const auto rules = [&records](int count) { return records.mid(0, count).join('\n') + '\n'; };
        CmDecisionManager read;
        const RulesText::ReadResult result = RulesText::Read(rules(30000), read);
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(read.Count(), 30000);
        QCOMPARE(RulesText::Records(read), records);
        const double ratio = GrowthRatio(
            [&](int count) {
                CmDecisionManager decisions;
                RulesText::Read(rules(count), decisions);
                recordsText(decisions);
            },
            2000);
        QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
    }
};

KV_REGISTER_TEST(TestRulesText)
#include "tst_RulesText.moc"
