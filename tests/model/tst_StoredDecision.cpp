#include "DecisionRecipe.h"
#include "common/TestRegistry.h"

#include "base/ErrorLog.h"
#include "base/ResourceStrings.h"
#include "common/ScriptedPrompt.h"
#include "base/StartUpTables.h"
#include "model/OptionRules.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"

#include <QFile>
#include <QHash>
#include <QTest>

using namespace MDecisionDataUtil;

namespace {

// "== name" then the record, as the golden file holds them.
QHash<QString, QString> goldenRecords()
{
    QFile file(QStringLiteral(KV_TEST_DATA_DIR "/stored-records.txt"));
    QHash<QString, QString> records;
    QString name;
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    for (const QString& line : text.split('\n')) {
        if (line.startsWith(QLatin1String("== ")))
            name = line.mid(3);
        else if (!name.isEmpty() && !line.isEmpty())
            records.insert(std::exchange(name, QString()), line);
    }
    return records;
}

// The controls a record's displayed controls can name; they are written by number.
void fillNamedControls(CmDecisionManager& decisions)
{
    decisions.add(DecisionRecipe::build({"id=2", "name=Intro"}));
    decisions.add(DecisionRecipe::build({"id=9"}));
    decisions.add(DecisionRecipe::build({"id=7", "name=Extras"}));
}

// A decision as an editor leaves it: the options its interface allows, actions in blocks,
// popup help, and texts with commas, quotes, tabs and line breaks.
QStringList representative(qint16 type, bool withOptions)
{
    QStringList lines{"!SET [[Intro]] = \"seen, once\""};
    const QStringList answers = FixedOptions(type);
    if (!answers.isEmpty())
        lines << "^" + answers.at(0) << "!IF [[Extras]] = \"x\"" << "!GO Intro" << "!ELSE" << "!ENDIF"
              << "^" + answers.at(1) << "?Not now, thanks";
    else if (IsNumericInterface(type) && withOptions)
        lines << "^1-10" << "!GO Intro" << "^11-" << "?Eleven \"or\" more, really";
    else if (!IsNumericInterface(type))
        lines << "^Red, dark" << "?Help \"quoted\", yes" << "!SORT L: Price, Weight; Descending, Ascending" << "^Blue";
    ValidOptions(lines, type);
    const QString defaultValue = IsNumericInterface(type) ? "number=5" : answers.isEmpty() ? "default=Red, dark"
                                                                                          : "default=Checked";
    return {"id=5", "name=Q5", "group=Intro,9", "picture=p.jpg", "help=7",
            "header=<B>Pick</B> one, \"any\" one\r\n\tthen \\<more\\", "type=" + ControlIntToStr(type),
            "caption=Sure, \"really\"?", "min=-3", "max=40", "lines=" + lines.join('\t'), defaultValue};
}

} // namespace

class TestStoredDecision : public QObject {
    Q_OBJECT

    CmDecisionManager m_decisions;

private slots:
    void initTestCase()
    {
        StartUpTables::Fill();
        fillNamedControls(m_decisions);
    }

    void fieldRules_data()
    {
        QTest::addColumn<QStringList>("recipe");
        const auto row = [](const char* name, const QStringList& recipe) { QTest::newRow(name) << recipe; };
        row("bare", {"id=1"});
        row("first seven fields", {"id=12", "name=Budget", "group=Intro,9,Extras", "picture=laptop.jpg", "help=110",
                                   "header=How much?", "type=Info", "url=web only"});
        row("unknown displayed controls", {"id=3", "group=Nobody,42", "type=Info"});
        row("header quotes", {"id=4", "header=Say \"hi\" to \\\"them\\\"", "type=Info"});
        row("header ending in a backslash", {"id=5", "header=C:\\", "type=Info"});
        row("default and caption", {"id=6", "name=Colour", "default=Red", "caption=Colour", "lines=^Red\t^Blue"});
        row("numeric default", {"id=7", "name=Age", "type=NumBox", "number=2.5", "lines=^1-5"});
        row("check caption last", {"id=8", "name=Buy", "type=Check", "default=Checked", "caption=Buy now?",
                                   "lines=^checked\t!GO A\t^NOT CHECKED\t!GO B"});
        row("check without caption", {"id=9", "name=Agree", "type=Check"});
        row("command caption in place",
            {"id=10", "name=Go", "type=Command", "caption=Go", "lines=^Pushed\t!GO A\t^not pushed"});
        row("lines with commas", {"id=11", "lines=^Red, dark\t^Blue\t?Pick one, any one\t!GO Next"});
        row("comma and quote", {"id=12", "lines=^Blue \"navy\", light\t!SET [[Note]] = \"a, b\"\t^Say \"hi\""});
        row("sort orders", {"id=13", "lines=^Cheap\t!sort Laptops: Price, Weight; ascending, DESCENDING\t"
                                     "!SORT Laptops : Descending; Descending"});
        row("numeric ranges", {"id=14", "type=RealNumBox", "lines=^ 1 - 10\t^-5\t^20-"});
        row("numeric closing range", {"id=15", "type=NumBox", "min=1", "max=10", "lines=!GO Next"});
        row("numeric option, no closing range", {"id=16", "type=NumSlide", "min=1", "max=10", "lines=^1-10\t!GO Next"});
        row("default and caption with comma and quote",
            {"id=17", "type=Combo", "default=Red, dark", "caption=Pick \"one\", please"});
        row("picture with a comma", {"id=18", "picture=a, b.jpg", "type=Done"});
    }
    void fieldRules()
    {
        QFETCH(QStringList, recipe);
        static const QHash<QString, QString> golden = goldenRecords();
        const QString expected = golden.value(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(!expected.isEmpty(), "no golden record for this case");
        const QString record = StoreDecision(*DecisionRecipe::build(recipe), &m_decisions);
        QCOMPARE(record, expected);
        CmDecisionItem loaded;
        QVERIFY(LoadDecision(loaded, record));
        QCOMPARE(StoreDecision(loaded, &m_decisions), expected);
    }

    void roundTripEveryInterface_data()
    {
        QTest::addColumn<QStringList>("recipe");
        for (qint16 type = 0; type < ControlTypeCount; ++type) {
            const QByteArray name = ControlIntToStr(type).toLatin1();
            QTest::newRow(name.constData()) << representative(type, true);
            if (IsNumericInterface(type))
                QTest::newRow((name + " without options").constData()) << representative(type, false);
        }
    }
    void roundTripEveryInterface()
    {
        QFETCH(QStringList, recipe);
        const auto original = DecisionRecipe::build(recipe);
        const QString record = StoreDecision(*original, &m_decisions);
        CmDecisionItem loaded;
        QVERIFY(LoadDecision(loaded, record));
        QCOMPARE(DecisionRecipe::carried(loaded, &m_decisions), DecisionRecipe::carried(*original, &m_decisions));
        QCOMPARE(StoreDecision(loaded, &m_decisions), record);
    }

    void loadReadsOtherForms_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("check answers in any wording")
            << "1\t\t\t\t\t\"\"\tCheck\t^CHECKED\t!GO A\t^yes\t^false\t$Sure\t"
            << QStringList{"1", "", "", "", "0", "", "Check", "text ", "Sure", "^Checked", "!GO A", "^Not Checked"};
        QTest::newRow("id and help that are no numbers")
            << "x1\t\"3,a,4\"\tN\t\thelp\t\"h\"\tInfo\t"
            << QStringList{"0", "3,4", "N", "", "0", "h", "Info", "text ", ""};
        QTest::newRow("one trailing range reads as the limits")
            << "1\t\t\t\t\t\"\"\tNumBox\t&4\t!GO A\t^-5-10\t"
            << QStringList{"1", "", "", "", "0", "", "NumBox", "number 4", "", "!GO A", "-5", "10"};
    }
    void loadReadsOtherForms()
    {
        QFETCH(QString, record);
        QFETCH(QStringList, expected);
        CmDecisionItem decision;
        QVERIFY(LoadDecision(decision, record));
        QCOMPARE(DecisionRecipe::carried(decision, nullptr), expected);
    }

    void loadKeepsWhatTheRecordDoesNotCarry()
    {
        const auto decision = DecisionRecipe::build({"id=4", "type=NumBox", "lines=^1-2", "type=Radio", "caption=Old",
                                                   "default=Old", "url=help.html", "lines=^Old", "group=7"});
        QVERIFY(decision->Load(QStringLiteral("4\t\tNew\t\t\t\"\"\tRadio\t^New\t")));
        QCOMPARE(DecisionRecipe::carried(*decision, nullptr),
                 (QStringList{"4", "", "New", "", "0", "", "Radio", "text ", "", "^New"}));
        QCOMPARE(decision->kvwHelpID(), QStringLiteral("help.html"));
        decision->setIntControl(NumBox);
        QCOMPARE(decision->OptsAndActs(), QStringList{"^1-2"});
    }

    // The closing "min-max" field gives both limits back, in every number form and empty.
    void limitsReadBack_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::newRow("exponent with a minus") << "1e-5" << "10";
        QTest::newRow("negative low with an exponent") << "-1e-5" << "10";
        QTest::newRow("both negative") << "-5" << "-1";
        QTest::newRow("negative exponents both") << "-2.5E-3" << "-1e-2";
        QTest::newRow("empty high") << "-5" << "";
        QTest::newRow("empty low") << "" << "-7";
        QTest::newRow("both empty") << "" << "";
        QTest::newRow("signs and points") << "+.5" << "5.";
        QTest::newRow("leading zeros") << "007" << "1E+3";
        QTest::newRow("beyond a double") << "-1e-400" << "1e400";
    }
    void limitsReadBack()
    {
        QFETCH(QString, min);
        QFETCH(QString, max);
        const auto original = DecisionRecipe::build({"id=3", "type=RealNumBox", "min=" + min, "max=" + max,
                                                     "lines=!GO Next"});
        const QString record = StoreDecision(*original, nullptr);
        QVERIFY(record.endsWith("\t^" + min + '-' + max + '\t'));
        CmDecisionItem loaded;
        QVERIFY(LoadDecision(loaded, record));
        QCOMPARE(loaded.Min(), min);
        QCOMPARE(loaded.Max(), max);
        QCOMPARE(loaded.OptsAndActs(), QStringList{"!GO Next"});
        QCOMPARE(StoreDecision(loaded, nullptr), record);
    }

    // A numeric interface's range options give its limits: the span of them all, open ends open.
    void optionsGiveTheLimits_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::newRow("option before its action") << "&500\t^1-100\t!GO Next" << "NumBox" << "1" << "100";
        QTest::newRow("span of several") << "^20-30\t!GO A\t^1-10\t!GO B" << "NumSlide" << "1" << "30";
        QTest::newRow("open low end") << "^-10\t!GO A\t^20-30\t!GO B" << "RealNumBox" << "" << "30";
        QTest::newRow("open high end") << "^1-10\t!GO A\t^11-\t!GO B" << "NumBox" << "1" << "";
        QTest::newRow("choice interface") << "^1-10\t!GO A" << "Radio" << "" << "";
    }
    void optionsGiveTheLimits()
    {
        QFETCH(QString, tail);
        QFETCH(QString, type);
        QFETCH(QString, min);
        QFETCH(QString, max);
        const QString record = "1\t\t\t\t\t\"\"\t" + type + '\t' + tail + '\t';
        CmDecisionItem decision;
        QVERIFY(LoadDecision(decision, record));
        QCOMPARE(decision.Min(), min);
        QCOMPARE(decision.Max(), max);
        // The options stay options, and the record is written as it was read.
        QCOMPARE(StoreDecision(decision, nullptr), record);
    }

    // A default is read and stored as the author wrote it.
    void defaultsKeepTheirText_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("runtimeForm");
        QTest::newRow("leading zeros") << "NumBox" << "007" << "007";
        QTest::newRow("trailing zero") << "RealNumBox" << "1.50" << "1.50";
        QTest::newRow("small exponent") << "RealNumBox" << "1e-7" << "1e-7";
        QTest::newRow("twenty digits") << "NumBox" << "12345678901234567891" << "12345678901234567891";
        QTest::newRow("no number") << "NumSlide" << "many" << "";
        QTest::newRow("text default") << "Combo" << "007" << "007";
    }
    void defaultsKeepTheirText()
    {
        QFETCH(QString, type);
        QFETCH(QString, written);
        QFETCH(QString, runtimeForm);
        const QString record = "1\t\t\t\t\t\"\"\t" + type + "\t&" + written + "\t!GO Next\t^1-10\t";
        CmDecisionItem decision;
        QVERIFY(LoadDecision(decision, record));
        QCOMPARE(decision.DefaultValue().toString(), written);
        QCOMPARE(GetDefault(decision), runtimeForm);
        QCOMPARE(StoreDecision(decision, nullptr), record);
    }

    // Every header comes back; one without a backslash before a quote is written as before.
    void headersRoundTrip_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("field");
        QTest::newRow("quotes") << "Say \"hi\"" << "\"Say \\\"hi\\\"\"";
        QTest::newRow("backslash before a quote") << "a\\\"b" << "\"a\\\\\\\"b\"";
        QTest::newRow("two backslashes before a quote") << "a\\\\\"b" << "\"a\\\\\\\\\\\"b\"";
        QTest::newRow("escaped quote last") << "end\\\"" << "\"end\\\\\\\"\"";
        QTest::newRow("backslash last") << "C:\\" << "\"C:\\ \"";
        QTest::newRow("backslash and a blank last") << "C:\\ " << "\"C:\\  \"";
        QTest::newRow("backslashes inside") << "a\\b\\\\c" << "\"a\\b\\\\c\"";
        QTest::newRow("blank last") << "x " << "\"x \"";
    }
    void headersRoundTrip()
    {
        QFETCH(QString, heading);
        QFETCH(QString, field);
        const auto original = DecisionRecipe::build({"id=2", "type=Info", "header=" + heading});
        const QString record = StoreDecision(*original, nullptr);
        QCOMPARE(record.section('\t', 5, 5), field);
        CmDecisionItem loaded;
        QVERIFY(LoadDecision(loaded, record));
        QCOMPARE(loaded.Heading(), heading);
        QCOMPARE(StoreDecision(loaded, nullptr), record);
    }

    // "! SORT" has an empty keyword: no !SORT, so the store leaves it as written.
    void blankAfterMarkerIsNoKeyword()
    {
        const QStringList lines{"^Cheap", "! SORT L: P; Descending", "!sort L: P; Descending"};
        const auto decision = DecisionRecipe::build({"id=2", "lines=" + lines.join('\t')});
        const QString record = StoreDecision(*decision, nullptr);
        QVERIFY(record.endsWith("\t^Cheap\t! SORT L: P; Descending\t!SORT L: P; True\t"));
        CmDecisionItem loaded;
        QVERIFY(LoadDecision(loaded, record));
        QCOMPARE(loaded.OptsAndActs(), (QStringList{"^Cheap", "! SORT L: P; Descending", "!SORT L: P; Descending"}));
    }

    void storingClearsDirty()
    {
        const auto decision = DecisionRecipe::build({"id=2", "lines=^A"});
        decision->setDirty(true);
        (void)StoreDecision(*decision, nullptr);
        QVERIFY(decision->Dirty()); // the conversion alone stores nothing
        QVERIFY(!decision->Store().isEmpty());
        QVERIFY(!decision->Dirty());
    }

    void throughItsManager()
    {
        ScriptedPrompt prompt;
        QString logged;
        const ErrorLogBufferScope log({[&logged](const QString& text) { logged += text; }, [&logged] { return logged; }});
        CmDecisionManager decisions;
        decisions.setPrompt(&prompt);
        fillNamedControls(decisions);
        auto created = DecisionRecipe::build({"id=4", "name=Kept", "group=Extras,Intro"});
        CmDecisionItem& decision = *created;
        QVERIFY(decisions.add(std::move(created)));
        const QString before = decision.Store();
        QVERIFY(before.startsWith(QLatin1String("4\t\"7,2\"\tKept\t")));

        QVERIFY(!decision.Load(QStringLiteral("40000\t\tOther\t\t\t\"\"\tInfo\t")));
        QCOMPARE(decision.Store(), before);
        QCOMPARE(prompt.shownTexts(), QStringList{LoadResString(12011)});
        QVERIFY(logged.contains(QLatin1String("MDecisionDataUtil.LoadDecision")));
    }
};

KV_REGISTER_TEST(TestStoredDecision)
#include "tst_StoredDecision.moc"
