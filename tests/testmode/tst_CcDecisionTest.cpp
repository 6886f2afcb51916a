#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "lang/RecordFields.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "runtime/RuntimeEngine.h"
#include "selectors/SelectorStore.h"
#include "testmode/CcDecisionTest.h"
#include "testmode/ITestModeHost.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers the runner's questions from a script and records what it was shown.
class ScriptedTestHost : public ITestModeHost {
public:
    void AddLog(const QString& line) override { log.append(line); }
    void Message(const QString& text) override { messages.append(text); }
    void SetStatus(const QString&) override {}
    void HideProgressBar() override {}
    void SaveProjectAs() override { ++saveAsShown; }
    bool TestModeDialog(TestModeOptions&, const QStringList& names) override
    {
        dialogNames = names;
        return acceptDialog;
    }
    std::optional<QString> AskValue(const CmDecisionItem& control) override
    {
        asked.append(control.strID());
        return value;
    }
    qint16 SelectedControl() const override { return selected; }
    void SelectControl(qint16 intID) override { selections.append(intID); }
    IRuntimeHost* OpenRuntimeWindow(RuntimeEngine&, const CompiledTree&) override
    {
        ++windowsOpened;
        return nullptr;
    }
    void CloseRuntimeWindow() override { ++windowsClosed; }
    void ShowDebugWindows(bool decisionValues, bool selectorValues) override
    {
        debugWindows = {decisionValues, selectorValues};
    }
    void RunningChanged(bool running) override { runningStates.append(running); }

    QStringList log;
    QStringList messages;
    QStringList dialogNames;
    QStringList asked;
    QList<qint16> selections;
    QList<bool> runningStates;
    std::pair<bool, bool> debugWindows{false, false};
    std::optional<QString> value;
    bool acceptDialog = true;
    qint16 selected = 0;
    int saveAsShown = 0;
    int windowsOpened = 0;
    int windowsClosed = 0;
};

QString record(int id, const QString& name, const QString& type, const QStringList& tail)
{
    QStringList fields{QString::number(id), QString(), name, QString(), QString(), QStringLiteral("\"Page\""), type};
    for (const QString& field : tail)
        fields.append(RecordFields::Quoted(field));
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\t');
}

// Start (Radio) goes to Age or, without a !GO, nowhere; Age sets Note and goes to Finish.
const QStringList Tree{
    record(1, QStringLiteral("Start"), QStringLiteral("Radio"),
           {QStringLiteral("^Yes"), QStringLiteral("!GO Age"), QStringLiteral("^No"), QStringLiteral("!NOOP")}),
    record(2, QStringLiteral("Age"), QStringLiteral("NumBox"),
           {QStringLiteral("&30"), QStringLiteral("^0-120"), QStringLiteral("!SET [[Note]] = \"grown\""),
            QStringLiteral("!GO Finish")}),
    record(3, QStringLiteral("Note"), QStringLiteral("StringBox"), {QStringLiteral("!GO Finish")}),
    record(4, QStringLiteral("Finish"), QStringLiteral("Done"), {}),
};

struct Bench {
    QTemporaryDir folder;
    CmDecisionManager decisions;
    CmDocument document;
    ScriptedPrompt prompt;
    TestModeOptions options;
    ScriptedTestHost host;
    CcDecisionTest test{decisions, document, options};

    explicit Bench(const QStringList& records = Tree, bool saved = true)
    {
        const QString rules = QStringLiteral("BEGIN\r\n") + records.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
        RulesText::Read(rules, decisions);
        document.setPrompt(&prompt);
        document.setModelWriter([] { return StorageResult::success(); });
        if (saved)
            document.SaveFileAs(folder.filePath(QStringLiteral("Tree.kvp")));
        options.ShowTestModeDlg = false;
        test.setHost(&host);
    }
    // The run a test step drives; a step that finds none has nothing left to check.
    RuntimeEngine& engine()
    {
        RuntimeEngine* runtime = test.Engine();
        if (!runtime)
            qFatal("The test runner has no runtime: the run did not start");
        return *runtime;
    }
    QString current()
    {
        const RuntimeControl* control = engine().control(engine().page().value(0));
        return control ? control->name : QString();
    }
};

} // namespace

class TestCcDecisionTest : public QObject {
    Q_OBJECT

private slots:
    void aNeverSavedProjectDoesNotStart()
    {
        Bench bench(Tree, false);
        bench.test.Run();
        QCOMPARE(bench.host.messages, QStringList{LoadResString(32800)});
        QCOMPARE(bench.host.saveAsShown, 1);
        QVERIFY(!bench.test.Engine());
        QVERIFY(!bench.test.Running());
    }

    void startControl_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the start control, though another is selected") << true << true << "" << "Start";
        QTest::newRow("the selected control") << false << true << "" << "Age";
        QTest::newRow("the control named") << false << false << "note" << "Note";
    }
    void startControl()
    {
        QFETCH(bool, first);
        QFETCH(bool, selected);
        QFETCH(QString, named);
        QFETCH(QString, expected);
        Bench bench;
        bench.options.StartFromFirst = first;
        bench.options.StartFromSelected = selected;
        bench.options.StartDecision = named;
        bench.host.selected = 2;
        bench.test.Run();
        QVERIFY(bench.test.Running());
        QCOMPARE(bench.current(), expected);
        QCOMPARE(bench.host.runningStates, QList<bool>{true});
        QCOMPARE(bench.host.log, (QStringList{LoadResString(32801), LoadResString(32802) + expected}));
        QCOMPARE(bench.test.DecisionValues().row(expected)->status, DecisionValuesModel::Status::Current);
    }

    // Step-through: every action is logged as it runs, the values table follows the pages and
    // the diagram selects each page's control; the run ends on the done page and cleans up.
    void stepThroughFollowsTheRun()
    {
        Bench bench;
        bench.options.StepThrough = true;
        bench.options.ShowCLValues = false;
        bench.test.Run();
        QCOMPARE(bench.host.debugWindows, std::make_pair(true, false));
        QVERIFY(bench.engine().setAnswer(bench.engine().page().first(), QStringLiteral("Yes")) == std::nullopt);
        QVERIFY(bench.engine().next());
        QCOMPARE(bench.current(), QStringLiteral("Age"));
        QVERIFY(bench.engine().setAnswer(bench.engine().page().first(), QStringLiteral("44")) == std::nullopt);
        QVERIFY(bench.engine().next());
        QCOMPARE(bench.current(), QStringLiteral("Finish"));
        QVERIFY(bench.host.log.contains(QStringLiteral("!GO Age\t")));
        QVERIFY(bench.host.log.contains(QStringLiteral("!SET [[Note]] = \"grown\"\t")));
        QVERIFY(bench.host.log.contains(LoadResString(32802) + QStringLiteral("Finish")));
        QCOMPARE(bench.host.selections, (QList<qint16>{1, 2, 4}));

        const DecisionValuesModel& values = bench.test.DecisionValues();
        QCOMPARE(values.row(QStringLiteral("Start"))->value, QStringLiteral("Yes"));
        QCOMPARE(values.row(QStringLiteral("Start"))->status, DecisionValuesModel::Status::Visited);
        QCOMPARE(values.row(QStringLiteral("Age"))->value, QStringLiteral("44"));
        QCOMPARE(values.row(QStringLiteral("Note"))->value, QStringLiteral("\"grown\""));
        QCOMPARE(values.row(QStringLiteral("Note"))->status, DecisionValuesModel::Status::Set);
        QCOMPARE(values.row(QStringLiteral("Finish"))->status, DecisionValuesModel::Status::Current);
        QCOMPARE(values.row(QStringLiteral("Age"))->status, DecisionValuesModel::Status::Visited);

        const QString testFile = bench.test.TestFile();
        QVERIFY(QFile::exists(testFile));
        QVERIFY(bench.engine().next());
        QVERIFY(!bench.test.Running());
        QVERIFY(!QFile::exists(testFile));
        QCOMPARE(bench.host.debugWindows, std::make_pair(false, false));
        QCOMPARE(bench.host.runningStates, (QList<bool>{true, false}));
    }

    // Start over begins again at the control the run started from, with a fresh values table.
    void startOverRestartsWhereTheRunBegan()
    {
        Bench bench;
        bench.options.StartFromFirst = false;
        bench.options.StartDecision = QStringLiteral("Age");
        bench.test.Run();
        QVERIFY(bench.engine().setAnswer(bench.engine().page().first(), QStringLiteral("50")) == std::nullopt);
        bench.engine().next();
        QCOMPARE(bench.current(), QStringLiteral("Finish"));
        bench.engine().requestStartOver();
        QCOMPARE(bench.current(), QStringLiteral("Age"));
        QVERIFY(!bench.test.DecisionValues().row(QStringLiteral("Finish")));
        QCOMPARE(bench.host.log.count(LoadResString(32802) + QStringLiteral("Age")), 2);
    }

    // Without a !GO, test mode goes where the runtime goes: the control with the next ID, or the
    // default done page after the last one; and says so.
    void aPageLeftWithoutGoFollowsTheRuntime()
    {
        Bench bench;
        bench.test.Run();
        QVERIFY(bench.engine().setAnswer(bench.engine().page().first(), QStringLiteral("No")) == std::nullopt);
        bench.engine().next();
        QCOMPARE(bench.current(), QStringLiteral("Age"));
        qsizetype noGo = bench.host.log.indexOf(LoadResString(32803));
        QVERIFY(noGo > 0);
        QCOMPARE(bench.host.log.at(noGo + 1), LoadResString(36150) + QStringLiteral("Age"));

        Bench last({record(1, QStringLiteral("Only"), QStringLiteral("Radio"), {QStringLiteral("^Yes"), QStringLiteral("!NOOP")})});
        last.test.Run();
        QVERIFY(last.engine().setAnswer(last.engine().page().first(), QStringLiteral("Yes")) == std::nullopt);
        last.engine().next();
        QVERIFY(last.engine().onDefaultDonePage());
        noGo = last.host.log.indexOf(LoadResString(32803));
        QVERIFY(noGo > 0);
        QCOMPARE(last.host.log.at(noGo + 1), LoadResString(32804));
    }

    void definitionRequests_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::newRow("a number without a control") << "_99" << "_99_" << "Done";
        QTest::newRow("a control of the project") << "_2" << "_2" << "NumBox";
    }
    void definitionRequests()
    {
        QFETCH(QString, reference);
        QFETCH(QString, name);
        QFETCH(QString, type);
        Bench bench;
        bench.test.Run();
        QString text = reference;
        bench.test.HandleEvent(RuntimeEvent::DefinitionRequest, {reference}, text);
        qsizetype pos = 0;
        const QStringList fields = RecordFields::Read(text, pos).fields;
        QCOMPARE(fields.value(0), reference.mid(1));
        QCOMPARE(fields.value(2), name);
        QCOMPARE(fields.value(6), type);
        if (type == QLatin1String("Done"))
            QVERIFY(fields.value(5).contains(LoadResString(11423)));

        QString notANumber = QStringLiteral("Twelve");
        bench.test.HandleEvent(RuntimeEvent::DefinitionRequest, {notANumber}, notANumber);
        QCOMPARE(notANumber, QStringLiteral("Twelve"));
        QVERIFY(bench.host.messages.last().startsWith(LoadResString(12504) + QStringLiteral("Twelve(")));
    }

    // Referenced values: the default, or asked once and then held; a control of the page is
    // answered on the page and never asked for.
    void valueRequests()
    {
        Bench bench;
        bench.test.Run();
        QString age = QStringLiteral("Age");
        bench.test.HandleEvent(RuntimeEvent::ValueRequest, {age}, age);
        QCOMPARE(age, QStringLiteral("30"));

        bench.options.PromptUserForValue = true;
        bench.host.value = QStringLiteral("51");
        for (int twice = 0; twice < 2; ++twice) {
            QString asked = QStringLiteral("[[Age]]");
            bench.test.HandleEvent(RuntimeEvent::ValueRequest, {asked}, asked);
            QCOMPARE(asked, QStringLiteral("51"));
        }
        QCOMPARE(bench.host.asked, QStringList{QStringLiteral("Age")});
        QCOMPARE(bench.test.DecisionValues().row(QStringLiteral("Age"))->status, DecisionValuesModel::Status::Referenced);
        QString onPage = QStringLiteral("Start");
        bench.test.HandleEvent(RuntimeEvent::ValueRequest, {onPage}, onPage);
        QCOMPARE(onPage, QStringLiteral("Start"));
        QCOMPARE(bench.host.asked.size(), 1);
    }

    // The test file is a file of its own: the document's working copy, the author's recovery
    // copy, is the same before and after a run, and nothing is left behind when the dialog is
    // cancelled.
    void cancellingLeavesNothingAndTheWorkingCopyStays()
    {
        Bench bench;
        const QString workingCopy = bench.document.WorkingCopyPath();
        QVERIFY(!workingCopy.isEmpty());
        QVERIFY(CcDecisionTest::TestFileFor(bench.document.Path()) != workingCopy);
        QFile copy(workingCopy);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        const QByteArray before = copy.readAll();
        copy.close();

        bench.options.ShowTestModeDlg = true;
        bench.host.acceptDialog = false;
        bench.test.Run();
        QVERIFY(!bench.test.Engine());
        QVERIFY(!bench.test.Running());
        QCOMPARE(bench.host.dialogNames, (QStringList{"Start", "Age", "Note", "Finish"}));
        QVERIFY(!QFile::exists(CcDecisionTest::TestFileFor(bench.document.Path())));
        QCOMPARE(bench.host.log.last(), LoadResString(32806));

        bench.host.acceptDialog = true;
        bench.test.Run();
        QVERIFY(bench.test.Running());
        bench.test.StopWizard();
        QVERIFY(!bench.test.Engine());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), before);
    }

    void aRuntimeErrorIsShownAndClosesTheWindows()
    {
        // Two controls without options pass the run to each other for ever.
        Bench bench({record(1, QStringLiteral("Start"), QStringLiteral("Radio"), {QStringLiteral("^Yes"), QStringLiteral("!GO Ping")}),
                     record(2, QStringLiteral("Ping"), QStringLiteral("Radio"), {QStringLiteral("!GO Pong")}),
                     record(3, QStringLiteral("Pong"), QStringLiteral("Radio"), {QStringLiteral("!GO Ping")})});
        bench.test.Run();
        QCOMPARE(bench.host.debugWindows, std::make_pair(true, true));
        QVERIFY(bench.engine().setAnswer(bench.engine().page().first(), QStringLiteral("Yes")) == std::nullopt);
        bench.engine().next();
        QCOMPARE(bench.host.messages.size(), 1);
        QVERIFY(bench.host.messages.first().startsWith(LoadResString(32805)));
        // The runtime's sentence ends in "?": no period is added after it.
        QVERIFY(bench.host.messages.first().endsWith(QStringLiteral("? ") + LoadResString(32806)));
        QCOMPARE(bench.host.debugWindows, std::make_pair(false, false));
        QVERIFY(!bench.test.Running());
    }

    void aTreeWithErrorsIsNotTested()
    {
        Bench bench({record(1, QStringLiteral("Start"), QStringLiteral("Info"), {QStringLiteral("!GO Nowhere")})});
        bench.test.Run();
        QVERIFY(!bench.test.Engine());
        QCOMPARE(bench.host.messages, QStringList{LoadResString(32829)});
        QVERIFY(bench.host.log.first().startsWith(QStringLiteral("Error. ")));
    }

    // The desktop runtime cannot read an external selector's table: a tree filtering or sorting
    // on one is sent to the browser preview by name; one merely stored beside the tree runs.
    void externalSelectorsAreTriedInTheBrowser_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("refused");
        QTest::newRow("!KILL") << QStringLiteral("!KILL shop.laptops: [Price] > 5") << true;
        QTest::newRow("!SORT") << QStringLiteral("!sort shop.laptops: [Price]") << true;
        QTest::newRow("stored only") << QStringLiteral("!NOOP") << false;
    }

    void externalSelectorsAreTriedInTheBrowser()
    {
        QFETCH(QString, action);
        QFETCH(bool, refused);
        Bench bench({record(1, QStringLiteral("Start"), QStringLiteral("Radio"),
                            {QStringLiteral("^Yes"), action, QStringLiteral("!GO Finish")}),
                     record(2, QStringLiteral("Finish"), QStringLiteral("Done"), {})});
        ExternalSelectorSettings settings;
        settings.table = QStringLiteral("laptops");
        settings.database = QStringLiteral("shop");
        settings.driverName = QStringLiteral("sqlite");
        settings.fields = QStringList{QStringLiteral("Name"), QStringLiteral("Price")};
        QVERIFY(SelectorStore(bench.document.Storage()).WriteExternal(settings).ok());
        bench.test.Run();
        QCOMPARE(bench.test.Engine() == nullptr, refused);
        if (!refused) {
            QVERIFY(bench.host.messages.isEmpty());
            return;
        }
        QCOMPARE(bench.host.messages, QStringList{LoadResString(37501).arg(QStringLiteral("shop.laptops"))});
        QVERIFY(bench.host.messages.first().contains(QLatin1String("browser preview")));
        QCOMPARE(bench.host.windowsOpened, 0);
        QVERIFY(bench.host.log.first().startsWith(QStringLiteral("Error. ")));
    }
};

KV_REGISTER_TEST(TestCcDecisionTest)
#include "tst_CcDecisionTest.moc"
