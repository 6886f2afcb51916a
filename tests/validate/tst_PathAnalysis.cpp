#include "common/TestRegistry.h"

#include "common/Scaling.h"
#include "common/SyntheticTree.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "validate/CcValidation.h"
#include "validate/PathAnalysis.h"
#include "validate/ValidationFindings.h"

#include <QFile>
#include <QTest>

namespace {

// One control as its stored record: ID, displayed controls, name, no picture or help ID, its
// name as the page header, the interface, then its fields (a default "&...", the lines).
QString record(int id, const QString& name, const QString& type, const QStringList& fields, const QString& shown = {})
{
    QString text = QStringLiteral("%1\t%2\t%3\t\t\t\"%3\"\t%4\t").arg(id).arg(shown, name, type);
    for (const QString& field : fields)
        text += field + QLatin1Char('\t');
    return text;
}

QString rules(const QStringList& records)
{
    return QStringLiteral("BEGIN\n") + records.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// A short name for each kind of finding, then the location and the detail.
QString brief(const ValidationFindings::Entry& entry)
{
    static const QList<std::pair<int, QString>> kinds{
        {33150, QStringLiteral("unreachable")}, {33151, QStringLiteral("no end")}, {33152, QStringLiteral("loop")},
        {33153, QStringLiteral("overridden")},  {33154, QStringLiteral("constant")}};
    QString kind = QStringLiteral("?");
    for (const auto& [id, name] : kinds)
        if (entry.message == LoadResString(id))
            kind = name;
    const QString text = (entry.isError ? QStringLiteral("error ") : QString()) + kind + QLatin1Char(' ') + entry.location;
    return entry.extra.isEmpty() ? text : text + QStringLiteral(" | ") + entry.extra;
}

QStringList analyze(const CmDecisionManager& decisions)
{
    ValidationFindings findings;
    const int count = PathAnalysis::Run(decisions, findings);
    QStringList found;
    for (const ValidationFindings::Entry& entry : findings.entries())
        found.append(brief(entry));
    if (count != found.size())
        found.append(QStringLiteral("counted %1").arg(count));
    return found;
}

const QString finish = record(9, QStringLiteral("Finish"), QStringLiteral("Done"), {});

QString at(const QString& control, int line, const QString& text)
{
    return QStringLiteral("%1.Options and Actions | Line %2: %3").arg(control).arg(line).arg(text);
}

} // namespace

class TestPathAnalysis : public QObject {
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void sampleHasNone();
    void validationLogCarriesThemWhenAsked();
    void longLoopIsOneFinding();
    void growsLinearly();
};

void TestPathAnalysis::findings_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("expected");
    const QStringList none;
    const auto row = [](const char* name, const QStringList& records, const QStringList& expected) {
        QTest::newRow(name) << records << expected;
    };
    const auto start = [](const QStringList& fields, const QString& type = QStringLiteral("Radio"),
                          const QString& shown = QString()) { return record(1, QStringLiteral("Start"), type, fields, shown); };
    const QString go = QStringLiteral("!GO Finish");
    const QString test = QStringLiteral("!IF [[Start]] = \"a\"");

    // Paths.
    row("every control on a path that ends", {start({"^Yes", go, "^No", go}), finish}, none);
    row("a control nothing leads to",
        {start({go}, "Info"), record(2, "Lost", "Info", {go}), finish}, {"unreachable Lost"});
    row("without a !GO the next control follows",
        {start({}, "Info"), record(2, "Next", "Info", {go}), finish}, none);
    row("a displayed control is shown on its page",
        {record(1, "Start", "Info", {go}, "2"), record(2, "Side", "StringBox", {}), finish}, none);
    row("a list without options shows nothing it displays",
        {start({"!GO Empty"}, "Info"), record(2, "Empty", "Radio", {go}, "3"), record(3, "Hidden", "StringBox", {go}),
         finish},
        {"unreachable Hidden"});
    const QString intoLoop = start({"!GO A"}, "Info");
    const QString a = record(2, "A", "Radio", {"^x", "!GO B"});
    row("a loop without a way out",
        {intoLoop, a, record(3, "B", "Radio", {"^y", "!GO A", "^z", "!GO A"}), finish},
        {"no end Start", "loop A | A, B", "unreachable Finish"});
    row("a loop one answer leaves",
        {intoLoop, a, record(3, "B", "Radio", {"^y", "!GO A", "^z", go}), finish}, none);
    row("a loop left by an answer without a !GO",
        {intoLoop, a, record(3, "B", "Radio", {"^y", "!GO A", "^z"}), finish}, none);
    row("a loop left by a number in none of the ranges",
        {intoLoop, a, record(3, "B", "NumBox", {"^1-5", "!GO A"}), finish}, none);
    row("a loop left by finishing early",
        {start({"!EARLYFINISH On", "!GO A"}, "Info"), a, record(3, "B", "Radio", {"^y", "!GO A"}), finish},
        {"unreachable Finish"});
    row("early finish turned off is no way out",
        {start({"!EARLYFINISH Off", "!GO A"}, "Info"), a, record(3, "B", "Radio", {"^y", "!GO A"}), finish},
        {"no end Start", "loop A | A, B", "unreachable Finish"});
    row("a loop closed by a displayed control's !GO",
        {intoLoop, record(2, "A", "Info", {}, "3"), record(3, "S", "StringBox", {"!GO A"}), finish},
        {"no end Start", "loop A | A", "unreachable Finish"});
    row("a !GO to no control ends the run", {start({"^x", "!GO Nowhere"})}, none);

    // !GO actions that another !GO always overrides.
    row("a later !GO in the same option", {start({"^a", go, "!SET [[Start]] = \"a\"", go}), finish},
        {"overridden " + at("Start", 2, go)});
    row("a conditional !GO before an unconditional one", {start({"^a", test, go, "!ENDIF", go}), finish},
        {"overridden " + at("Start", 3, go)});
    row("an unconditional !GO before a conditional one", {start({"^a", go, test, go, "!ENDIF"}), finish}, none);
    row("a block whose every branch goes", {start({"^a", go, test, go, "!ELSE", go, "!ENDIF"}), finish},
        {"overridden " + at("Start", 2, go)});
    row("two !GO actions in one branch", {start({"^a", test, go, go, "!ENDIF"}), finish},
        {"overridden " + at("Start", 3, go)});
    row("two pre-actions", {start({"!go Finish", go}, "Info"), finish}, {"overridden " + at("Start", 1, "!go Finish")});
    row("a pre-action and both sides of a check box",
        {start({go, "^Checked", go, "^Not Checked", go}, "Check"), finish}, {"overridden " + at("Start", 1, go)});
    row("a pre-action and one side of a check box", {start({go, "^Checked", go}, "Check"), finish}, none);
    row("a pre-action and a list that may be left unanswered",
        {start({go, "^a", go, "^b", go}), finish}, none);
    row("a pre-action and a list whose default is an option",
        {start({"&b", go, "^a", go, "^b", go}), finish}, {"overridden " + at("Start", 1, go)});
    row("a pre-action and a number in none of the ranges", {start({go, "^1-5", go}, "NumBox"), finish}, none);
    row("a selector list runs every option",
        {start({"^Cars", go, "^Bikes", go}, "dList"), finish}, {"overridden " + at("Start", 2, go)});
    row("a multiple choice may run one option", {start({"^a", go, "^b", go}, "MultiList"), finish}, none);
    row("a run that stops at a stray !ENDIF claims nothing", {start({"^a", go, "!ENDIF", go}), finish}, none);

    // Conditions.
    const auto condition = [&](const QString& line) { return start({"^a", line, "!ENDIF", go}); };
    const QString many = record(2, "Many", "MultiList", {"^x", go, "^y", go});
    row("two numbers", {condition("!IF 1 = 1"), finish}, {"constant " + at("Start", 2, "!IF 1 = 1")});
    row("two texts", {condition("!IF \"a\" = \"b\""), finish}, {"constant " + at("Start", 2, "!IF \"a\" = \"b\"")});
    row("a word", {condition("!IF True"), finish}, {"constant " + at("Start", 2, "!IF True")});
    row("the same control, written two ways", {condition("!IF [[Start]] <> [[ start ]]"), finish},
        {"constant " + at("Start", 2, "!IF [[Start]] <> [[ start ]]")});
    row("the same control by name and by ID", {condition("!IF [[1]] = [[Start]]"), finish},
        {"constant " + at("Start", 2, "!IF [[1]] = [[Start]]")});
    row("an !ELSEIF", {start({"^a", test, "!ELSEIF 2 > 3", "!ENDIF", go}), finish},
        {"constant " + at("Start", 3, "!ELSEIF 2 > 3")});
    row("a control and a text", {condition(test), finish}, none);
    row("two controls", {condition("!IF [[Start]] = [[Finish]]"), finish}, none);
    row("a multiple choice with itself",
        {start({"^a", "!IF [[Many]] = [[Many]]", "!ENDIF", go}, "Radio", "2"), many, finish}, none);
    row("a control the tree lacks", {condition("!IF [[Nobody]] = [[Nobody]]"), finish}, none);
    row("a selector's count", {condition("!IF <<Cars>> = <<Cars>>"), finish}, none);
    row("a test that does not parse", {condition("!IF 1 ="), finish}, none);
}

void TestPathAnalysis::findings()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, expected);
    CmDecisionManager decisions;
    const RulesText::ReadResult read = RulesText::Read(rules(records), decisions);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(analyze(decisions), expected);
}

void TestPathAnalysis::sampleHasNone()
{
    QFile file(QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    CmDecisionManager decisions;
    QVERIFY(RulesText::Read(QString::fromUtf8(file.readAll()), decisions).ok);
    QVERIFY(decisions.Count() > 10);
    QCOMPARE(analyze(decisions), QStringList());
}

void TestPathAnalysis::validationLogCarriesThemWhenAsked()
{
    CmDecisionManager decisions;
    QVERIFY(RulesText::Read(rules({record(1, "Start", "Info", {"!GO Finish", "!GO Finish"}),
                                   record(2, "Lost", "Info", {"!GO Finish"}), finish}),
                            decisions)
                .ok);
    CmDocument document;
    CcValidation validation(decisions, document);
    validation.Validate();
    QCOMPARE(validation.Log(), QString());
    validation.setAnalyzePaths(true);
    validation.Validate();
    QCOMPARE(validation.Log(), LoadResString(12516) + LoadResString(33153) + "\r\n\t" + LoadResString(12537)
                                   + "Start.Options and Actions\r\n\tLine 1: !GO Finish\r\n" + LoadResString(12516)
                                   + LoadResString(33150) + "\r\n\t" + LoadResString(12537) + "Lost\r\n");
    QVERIFY(validation.Warning());
    QVERIFY(!validation.Error());
}

// A loop through every control is one finding, naming the first few.
void TestPathAnalysis::longLoopIsOneFinding()
{
    constexpr int size = 20000;
    QStringList records;
    for (int id = 1; id <= size; ++id)
        records.append(record(id, QStringLiteral("C%1").arg(id), "Info", {QStringLiteral("!GO C%1").arg(id % size + 1)}));
    CmDecisionManager decisions;
    QVERIFY(RulesText::Read(rules(records), decisions).ok);
    QCOMPARE(analyze(decisions),
             QStringList{"loop C1 | " + LoadResString(33156).arg("C1, C2, C3, C4, C5, C6, C7, C8, C9, C10").arg(size - 10)});
}

void TestPathAnalysis::growsLinearly()
{
    constexpr int size = 3000;
    CmDecisionManager small;
    CmDecisionManager large;
    SyntheticTree::fill(small, size);
    SyntheticTree::fill(large, 2 * size);
    ValidationFindings findings;
    const double ratio = GrowthRatio(
        [&](int count) {
            findings.clear();
            PathAnalysis::Run(count == size ? small : large, findings);
        },
        size);
    QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
}

KV_REGISTER_TEST(TestPathAnalysis)
#include "tst_PathAnalysis.moc"
