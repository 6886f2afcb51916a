#include "common/TestRegistry.h"

#include "model/LinkTargets.h"
#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/ChangeRecorder.h"

#include <QTest>

#include <algorithm>
#include <array>

using namespace MDecisionDataUtil;

namespace {

std::unique_ptr<CmDecisionItem> decision(qint16 type, const QStringList& lines, qint16 id = 0,
                                         const QString& name = QString())
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntControl(type);
    item->setOptsAndActs(lines);
    item->setIntID(id);
    item->setStrID(name);
    return item;
}

} // namespace

class TestOptionRules : public QObject {
    Q_OBJECT

private slots:
    void validOptions_data();
    void validOptions();
    void switchOptions_data();
    void switchOptions();
    void switchFollowsTheDecision();
    void tripsKeepWhatAnswersDo_data();
    void tripsKeepWhatAnswersDo();
    void optionsAsideDroppedByALoad();
    void copyPreActions_data();
    void copyPreActions();
    void saveActions_data();
    void saveActions();
    void namesAndRanges_data();
    void namesAndRanges();
    void linkTargets_data();
    void linkTargets();
};

void TestOptionRules::validOptions_data()
{
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("Check, exact texts") << qint16(Check) << QStringList{"^Checked", "!GO A", "^Yes", "^Not Checked", "^checked"}
                                        << QStringList{"^Checked", "!GO A", "^Not Checked"};
    QTest::newRow("Command") << qint16(Command) << QStringList{"^Pushed", "^Checked", "^Not Pushed"}
                             << QStringList{"^Pushed", "^Not Pushed"};
    QTest::newRow("StringBox keeps actions and help") << qint16(StringBox)
                                                      << QStringList{"!SET [[A]]=1", "^x", "!GO B", "?help"}
                                                      << QStringList{"!SET [[A]]=1", "!GO B", "?help"};
    QTest::newRow("TextArea") << qint16(TextArea) << QStringList{"^x"} << QStringList();
    QTest::newRow("NumBox ranges") << qint16(NumBox) << QStringList{"^1-10", "^-10", "^5-", "^ten", "^10", "^1--5"}
                                   << QStringList{"^1-10", "^-10", "^5-", "^1--5"};
    QTest::newRow("Radio keeps all") << qint16(Radio) << QStringList{"^anything", "^1-2"}
                                     << QStringList{"^anything", "^1-2"};
    QTest::newRow("Done keeps all") << qint16(Done) << QStringList{"^x"} << QStringList{"^x"};
}

void TestOptionRules::validOptions()
{
    QFETCH(qint16, type);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, kept);
    const auto item = decision(type, lines);
    ValidOptions(*item);
    QCOMPARE(item->OptsAndActs(), kept);
    const bool anyOption = std::any_of(kept.begin(), kept.end(), [](const QString& line) { return line.startsWith('^'); });
    QCOMPARE(HasOptions(*item), anyOption);
}

void TestOptionRules::switchOptions_data()
{
    QTest::addColumn<qint16>("from");
    QTest::addColumn<qint16>("to");
    QTest::addColumn<QStringList>("current");
    QTest::addColumn<QStringList>("target"); // the new kind's list before; unused within one kind
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("setAside"); // the option groups set aside afterwards
    const QStringList trueFalse{"^TRUE", "!GO Y", "^FALSE", "!GO N"};
    QTest::newRow("Radio to Check") << qint16(Radio) << qint16(Check) << QStringList{"!SET [[A]]=1", "^Red", "!GO R"}
                                    << trueFalse
                                    << QStringList{"!SET [[A]]=1", "^Checked", "!GO Y", "^Not Checked", "!GO N"}
                                    << QStringList();
    QTest::newRow("Check to Command") << qint16(Check) << qint16(Command)
                                      << QStringList{"!SORT Cars: Price; Ascending", "^Checked", "!GO Y", "^not checked"}
                                      << QStringList()
                                      << QStringList{"!SORT Cars: Price; Ascending", "^Pushed", "!GO Y", "^Not Pushed"}
                                      << QStringList();
    QTest::newRow("older wording, stray option") << qint16(Command) << qint16(Check)
                                                 << QStringList{"^ true", "!GO Y", "^Maybe", "!GO M", "^False"}
                                                 << QStringList()
                                                 << QStringList{"^Checked", "!GO Y", "^Not Checked"} << QStringList();
    QTest::newRow("missing answer added") << qint16(Command) << qint16(Check) << QStringList{"^Pushed", "!GO Y"}
                                          << QStringList() << QStringList{"^Checked", "!GO Y", "^Not Checked"}
                                          << QStringList();
    QTest::newRow("to numeric") << qint16(Radio) << qint16(NumBox) << QStringList{"!SET [[A]]=1", "^Red"}
                                << QStringList{"!GO Old", "^1-10", "!GO Low", "^ten"}
                                << QStringList{"!SET [[A]]=1", "^1-10", "!GO Low"} << QStringList();
    QTest::newRow("Radio to StringBox") << qint16(Radio) << qint16(StringBox)
                                        << QStringList{"!SET [[A]]=1", "^Red", "!GO R"} << QStringList()
                                        << QStringList{"!SET [[A]]=1"} << QStringList{"^Red", "!GO R"};
    QTest::newRow("Radio to Info") << qint16(Radio) << qint16(Info) << QStringList{"^Red", "!GO R"} << QStringList()
                                   << QStringList() << QStringList{"^Red", "!GO R"};
    QTest::newRow("back to a list finds its options")
        << qint16(Check) << qint16(Radio) << QStringList{"!GO Pre", "^Checked"}
        << QStringList{"!GO Old", "?stray", "^Red", "!GO R"} << QStringList{"!GO Pre", "?stray", "^Red", "!GO R"}
        << QStringList();
    QTest::newRow("numeric to Check") << qint16(NumBox) << qint16(Check) << QStringList{"!SET [[A]]=1", "^1-5"}
                                      << QStringList{"^TRUE", "^FALSE"}
                                      << QStringList{"!SET [[A]]=1", "^Checked", "^Not Checked"} << QStringList();
    QTest::newRow("same type") << qint16(Check) << qint16(Check) << QStringList{"^TRUE"} << QStringList()
                               << QStringList{"^TRUE"} << QStringList();
}

void TestOptionRules::switchOptions()
{
    QFETCH(qint16, from);
    QFETCH(qint16, to);
    QFETCH(QStringList, current);
    QFETCH(QStringList, target);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, setAside);
    const int fromKind = GetDataType(from);
    const int toKind = GetDataType(to);
    const QStringList untouched{"!GO Untouched", "^kept"};
    std::array<QStringList, 3> lists{untouched, untouched, untouched};
    lists.at(std::size_t(toKind)) = target;
    lists.at(std::size_t(fromKind)) = current;
    const int spare1 = fromKind == 0 ? 1 : 0;
    const int spare2 = 3 - fromKind - spare1;
    QStringList aside;
    SwitchOptions(lists.at(std::size_t(fromKind)), lists.at(std::size_t(spare1)), lists.at(std::size_t(spare2)), from,
                  to, aside);
    QCOMPARE(lists.at(std::size_t(toKind)), expected);
    QCOMPARE(aside, setAside);
    for (int kind = 0; kind < 3; ++kind) {
        if (kind == fromKind && kind != toKind)
            QCOMPARE(lists.at(std::size_t(kind)), current);
        else if (kind != toKind)
            QCOMPARE(lists.at(std::size_t(kind)), untouched);
    }
    if (from != to) {
        QStringList valid = expected;
        ValidOptions(valid, to);
        QCOMPARE(valid, expected);
    }
}

void TestOptionRules::switchFollowsTheDecision()
{
    CmDecisionItem item;
    item.setOptsAndActs({"!SET [[A]]=1", "^Red", "!GO R"});
    item.setIntControl(Check);
    QCOMPARE(item.OptsAndActs(), (QStringList{"!SET [[A]]=1", "^Checked", "^Not Checked"}));
    item.setOptsAndActs(QStringList{QStringLiteral("!CALL hello")} + item.OptsAndActs());
    item.setIntControl(NumBox);
    QCOMPARE(item.OptsAndActs(), (QStringList{"!CALL hello", "!SET [[A]]=1"}));
    item.setIntControl(Radio);
    QCOMPARE(item.OptsAndActs(), (QStringList{"!CALL hello", "!SET [[A]]=1", "^Red", "!GO R"}));
}

// Lines an author leaves on each interface: pre-actions, and the options it answers with,
// with their actions, blocks and help.
QStringList typicalLines(qint16 type)
{
    const QStringList pre{"!SET [[A]]=1", "! ENDIF"};
    const QStringList answers = FixedOptions(type);
    if (!answers.isEmpty())
        return pre + QStringList{"^" + answers.at(0), "!GO Y", "?Yes", "^" + answers.at(1), "!IF [[B]]=2", "!GO N",
                                 "!ENDIF"};
    if (IsNumericInterface(type))
        return pre + QStringList{"^1-10", "!GO Low", "^11-", "!IF [[B]]=2", "!GO High", "!ELSE", "!NOOP", "!ENDIF"};
    if (type == StringBox || type == TextArea || type == Info || type == Done)
        return pre;
    return pre + QStringList{"^Red, dark", "!GO R", "?Dark \"red\"", "^Blue", "!IF [[B]]=2", "!GO B", "!ENDIF"};
}

void TestOptionRules::tripsKeepWhatAnswersDo_data()
{
    QTest::addColumn<qint16>("home");
    QTest::addColumn<qint16>("away");
    for (qint16 home = 0; home < ControlTypeCount; ++home) {
        for (qint16 away = 0; away < ControlTypeCount; ++away) {
            if (home != away)
                QTest::addRow("%s to %s", qPrintable(ControlIntToStr(home)), qPrintable(ControlIntToStr(away)))
                    << home << away;
        }
    }
}

// Away from an interface and back: every answer does what it did, pre-actions follow the
// control, and no answer's actions stay behind as pre-actions or as another answer's.
void TestOptionRules::tripsKeepWhatAnswersDo()
{
    QFETCH(qint16, home);
    QFETCH(qint16, away);
    CmDecisionItem item;
    item.setIntControl(home);
    item.setOptsAndActs(typicalLines(home));
    item.setIntControl(away);
    const QStringList& awayLines = item.OptsAndActs();
    QStringList valid = awayLines;
    ValidOptions(valid, away);
    QCOMPARE(awayLines, valid);
    QCOMPARE(awayLines.mid(0, 2), typicalLines(home).mid(0, 2));
    if (!HasOptions(item))
        QCOMPARE(awayLines, typicalLines(home).mid(0, 2));
    item.setIntControl(home);
    QCOMPARE(item.OptsAndActs(), typicalLines(home));
}

void TestOptionRules::optionsAsideDroppedByALoad()
{
    CmDecisionItem item;
    item.setIntControl(Combo);
    item.setOptsAndActs({"^Red", "!GO R"});
    item.setIntControl(TextArea);
    QVERIFY(item.Load(QStringLiteral("1\t\t\t\t\t\"\"\tTextArea\t!GO Next\t")));
    item.setIntControl(Combo);
    QCOMPARE(item.OptsAndActs(), QStringList{"!GO Next"});
}

void TestOptionRules::copyPreActions_data()
{
    QTest::addColumn<QStringList>("from");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("replaced, stray line kept") << QStringList{"!A", "?x", "!B", "^x"} << QStringList{"!C", "?stray", "^y", "!D"}
                                               << QStringList{"!A", "!B", "?stray", "^y", "!D"};
    QTest::newRow("none to copy") << QStringList{"^x", "!A"} << QStringList{"!C", "^y"} << QStringList{"^y"};
    QTest::newRow("no options at all") << QStringList{"!A"} << QStringList{"!C", "!D"} << QStringList{"!A"};
}

void TestOptionRules::copyPreActions()
{
    QFETCH(QStringList, from);
    QFETCH(QStringList, to);
    QFETCH(QStringList, expected);
    CopyPreActions(from, to);
    QCOMPARE(to, expected);
}

void TestOptionRules::saveActions_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // empty when refused
    QTest::newRow("end of the option's group") << QStringList{"^Yes", "!GO A", "?help", "^No"}
                                               << "Yes\t!SET [[B]]=1\t!GO C"
                                               << QStringList{"^Yes", "!GO A", "?help", "!SET [[B]]=1", "!GO C", "^No"};
    QTest::newRow("pre-actions") << QStringList{"!SET [[X]]=1", "^Yes"} << "_PREACTION\t!SORT Cars: Price; Ascending"
                                 << QStringList{"!SET [[X]]=1", "!SORT Cars: Price; Ascending", "^Yes"};
    QTest::newRow("unknown option") << QStringList{"^Yes"} << "Maybe\t!GO C" << QStringList();
}

void TestOptionRules::saveActions()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    CmDecisionManager decisions;
    CmDecisionItem& item = ChangeRecorder::hold(decisions, decision(Radio, lines));
    ChangeRecorder undo(decisions);
    QCOMPARE(SaveActions(item, text), !expected.isEmpty());
    QCOMPARE(item.OptsAndActs(), expected.isEmpty() ? lines : expected);
    QCOMPARE(undo.blockChanges.size(), expected.isEmpty() ? 0 : 1);
}

// Texts an author types: a control's name and a numeric option's range.
void TestOptionRules::namesAndRanges_data()
{
    QTest::addColumn<bool>("isRange");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    const auto name = [](const char* tag, const QString& text, bool valid) { QTest::newRow(tag) << false << text << valid; };
    const auto range = [](const char* tag, const QString& text, bool valid) { QTest::newRow(tag) << true << text << valid; };
    name("name Engine_2", "Engine_2", true);
    name("name 2Engine", "2Engine", false);
    name("name Engine-2", "Engine-2", false);
    name("empty name", "", false);
    name("blank inside a name", "Engine 2", false);
    name("letter beyond ASCII", QString::fromUtf8("Éclair"), false);
    name("digit beyond ASCII", QString::fromUtf8("A\u0663"), false);
    range("both ends", "1-10", true);
    range("no lower end", "-10", true);
    range("no upper end", "5-", true);
    range("negative upper end", "1--5", true);
    range("blanks around", " 1 - 10 ", true);
    range("no dash", "10", false);
    range("dash alone", "-", false);
    range("word", "ten-20", false);
    range("infinity is no number", "1-inf", false);
    range("two points", "1.2.3-4", false);
    range("empty range", "", false);
}

void TestOptionRules::namesAndRanges()
{
    QFETCH(bool, isRange);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isRange ? IsValidRange(text) : IsValidControlName(text), valid);
}

void TestOptionRules::linkTargets_data()
{
    QTest::addColumn<qint16>("id");
    QTest::addColumn<qint16>("type");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("targets");
    const qint16 radio = Radio;
    QTest::newRow("every option goes, once each") << qint16(1) << radio
                                                  << QStringList{"^A", "!GO Later", "^B", "!go later"}
                                                  << QStringList{"Later"};
    QTest::newRow("an option without GO") << qint16(1) << radio << QStringList{"^A", "!GO Later", "^B"}
                                          << QStringList{"Later", "Next"};
    QTest::newRow("pre-action GO covers all") << qint16(1) << radio << QStringList{"!GO Later", "^A", "^B"}
                                              << QStringList{"Later"};
    QTest::newRow("IF without ELSE") << qint16(1) << radio << QStringList{"^A", "!IF [[X]]=1", "!GO Later", "!ENDIF"}
                                     << QStringList{"Later", "Next"};
    QTest::newRow("IF and ELSE both go")
        << qint16(1) << radio << QStringList{"^A", "!IF [[X]]=1", "!GO Later", "!ELSE", "!GO Start", "!ENDIF"}
        << QStringList{"Later", "Start"};
    QTest::newRow("an ELSEIF branch without GO")
        << qint16(1) << radio
        << QStringList{"^A", "!IF [[X]]=1", "!GO Later", "!ELSEIF [[X]]=2", "!NOOP", "!ELSE", "!GO Start", "!ENDIF"}
        << QStringList{"Later", "Start", "Next"};
    QTest::newRow("nested blocks, any case")
        << qint16(1) << radio
        << QStringList{"^A", "!if [[X]]=1", "!IF [[Y]]=1", "!GO Later", "!ELSE", "!GO Start", "!ENDIF", "!else",
                       "!GO Later", "!endif"}
        << QStringList{"Later", "Start"};
    QTest::newRow("GO after an open block") << qint16(1) << radio
                                            << QStringList{"^A", "!IF [[X]]=1", "!NOOP", "!ENDIF", "!GO Later"}
                                            << QStringList{"Later"};
    QTest::newRow("GO without target") << qint16(1) << radio << QStringList{"^A", "!GO "} << QStringList{"Next"};
    QTest::newRow("no options, no GO") << qint16(1) << qint16(StringBox) << QStringList() << QStringList{"Next"};
    QTest::newRow("a value outside the ranges") << qint16(1) << qint16(NumBox)
                                                << QStringList{"^1-10", "!GO Later", "^11-", "!GO Later"}
                                                << QStringList{"Later", "Next"};
    QTest::newRow("missing ID skipped") << qint16(2) << radio << QStringList{"^A"} << QStringList{"Later"};
    QTest::newRow("next control unnamed") << qint16(4) << radio << QStringList{"^A"} << QStringList{"_5"};
    QTest::newRow("Done leads nowhere") << qint16(1) << qint16(Done) << QStringList{"!GO Later"} << QStringList();
    QTest::newRow("a blank after the marker makes no ELSE")
        << qint16(1) << radio << QStringList{"^A", "!IF [[X]]=1", "!GO Later", "! ELSE", "!GO Start", "!ENDIF"}
        << QStringList{"Later", "Start", "Next"};
    QTest::newRow("a blank after the marker makes no GO") << qint16(1) << radio << QStringList{"^A", "! GO Later"}
                                                          << QStringList{"Next"};
    // A target is listed once however it is written, by the decisions' upper-cased keys.
    QTest::newRow("one target in two cases") << qint16(1) << radio
                                             << QStringList{"^A", "!GO Later", "^B", "!GO lATER"} << QStringList{"Later"};
    QTest::newRow("one target upper-cased past ASCII")
        << qint16(1) << radio << QStringList{"^A", "!GO Straße", "^B", "!GO STRASSE", "^C", "!GO strasse"}
        << QStringList{"Straße"};
}

void TestOptionRules::linkTargets()
{
    QFETCH(qint16, id);
    QFETCH(qint16, type);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, targets);
    CmDecisionManager decisions;
    QVERIFY(decisions.add(decision(Radio, {}, 1, QStringLiteral("Start"))));
    QVERIFY(decisions.add(decision(Radio, {}, 2, QStringLiteral("Next"))));
    QVERIFY(decisions.add(decision(Radio, {}, 4, QStringLiteral("Later"))));
    QVERIFY(decisions.add(decision(Radio, {}, 5)));
    const auto item = decision(type, lines, id);
    QCOMPARE(GetLinkTargets(*item, decisions), targets);
}

KV_REGISTER_TEST(TestOptionRules)
#include "tst_OptionRules.moc"
