#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "tests/runtime/RuntimeFixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using RuntimeFixture::record;

namespace {

struct Event {
    int code = 0;
    QStringList arguments;
    QString text;
};

// Records every event; answers definition and value requests from its tables, and may steer
// the page state from inside an event, as test mode does.
class RecordingHost final : public IRuntimeHost {
public:
    QList<Event> events;
    QHash<QString, QString> definitions;
    QHash<QString, QString> values;
    std::function<void(int code)> onEvent;

    void HandleEvent(int code, const QStringList& arguments, QString& text) override
    {
        if (code == RuntimeEvent::DefinitionRequest && definitions.contains(text))
            text = definitions.value(text);
        else if (code == RuntimeEvent::ValueRequest && values.contains(text))
            text = values.value(text);
        events.append(Event{code, arguments, text});
        if (onEvent)
            onEvent(code);
    }

    QList<int> codes() const
    {
        QList<int> result;
        for (const Event& event : events)
            result.append(event.code);
        return result;
    }
    int count(int code) const { return int(codes().count(code)); }
};

// Answers every page from the table (by control name) and presses Next until the run ends.
void runThrough(RuntimeEngine& engine, const QHash<QString, QString>& answers = {})
{
    for (int guard = 0; engine.isRunning() && guard < 100; ++guard) {
        for (const int id : engine.page()) {
            const QString name = engine.control(id)->displayName();
            if (answers.contains(name))
                QVERIFY(!engine.setAnswer(id, answers.value(name)).has_value());
        }
        engine.next();
    }
}

QStringList remainingNames(const RuntimeEngine& engine, const QString& selector = QStringLiteral("Cars"))
{
    QStringList names;
    const SelectorTable* table = engine.selector(selector);
    for (const int item : table->remaining())
        names.append(table->itemName(item));
    return names;
}

const QStringList Narrowing{
    record(1, "Budget", "Radio", {"^Cheap", "!KILL Cars: Price > 30000", "!GO Seats", "^Any", "!GO Seats"}),
    record(2, "Seats", "NumBox", {"&4", "^1-2", "!KILL Cars: Seats > 2", "!GO Order", "^3-9",
                                  "!KILL Cars: Seats < [[Seats]]", "!GO Order"}),
    record(3, "Order", "Radio", {"^Cheapest", "!SORT Cars: Price; Descending", "!GO End"}),
    record(4, "End", "Done", {}),
};

} // namespace

class TestRuntimeEngine : public QObject {
    Q_OBJECT

private slots:
    void conditions_data();
    void conditions();
    void sorting_data();
    void sorting();
    void sortsStayThroughRemovalsAndBack();
    void faults_data();
    void faults();
    void backRestoresValuesItemsAndOrder();
    void historyKeepsOnlyWhatEachPageChanged();
    void eventsOfARun();
    void hostSteersThePageState();
    void hostAnswersDefinitionsAndValues();
    void stepThroughReportsEachAction();
    void stopEndsEvents();
    void loadRefusesBrokenRules_data();
    void loadRefusesBrokenRules();
    void readsADesktopTreeFile();
};

void TestRuntimeEngine::conditions_data()
{
    QTest::addColumn<QString>("score");
    QTest::addColumn<QString>("grade");

    QTest::newRow("first branch, nested first") << "95" << "A";
    QTest::newRow("first branch, nested elseif") << "75" << "B";
    QTest::newRow("first branch, nested else") << "55" << "C";
    QTest::newRow("outer elseif") << "35" << "D";
    QTest::newRow("outer else") << "5" << "F";
}

void TestRuntimeEngine::conditions()
{
    QFETCH(QString, score);
    QFETCH(QString, grade);

    RuntimeEngine engine;
    QVERIFY(engine.load(RuntimeFixture::tree({
        record(1, "Score", "NumBox", {"!IF [[Score]] >= 50", "!IF [[Score]] >= 90", "!SET [[Grade]] = \"A\"",
                                      "!ELSEIF [[Score]] >= 70", "!SET [[Grade]] = \"B\"", "!ELSE",
                                      "!SET [[Grade]] = \"C\"", "!ENDIF", "!ELSEIF [[Score]] >= 30",
                                      "!SET [[Grade]] = \"D\"", "!ELSE", "!SET [[Grade]] = \"F\"", "!ENDIF",
                                      "!GO Grade", "^0-100"}),
        record(2, "Grade", "StringBox", {}),
    })));
    QVERIFY(engine.start());
    QVERIFY(!engine.setAnswer(1, score));
    QVERIFY(engine.next());
    QCOMPARE(engine.value(2), grade);
    QCOMPARE(engine.lastActions().size(), 2); // the one !SET and the !GO
}

void TestRuntimeEngine::sorting_data()
{
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QStringList>("order");

    const QStringList colourThenDearest{"Saloon", "Roadster", "Estate", "Micro", "Coupe", "Mini", "Pickup", "Van"};
    QTest::newRow("two keys, words") << "Colour, Price; Ascending, Descending" << colourThenDearest;
    QTest::newRow("two keys, flags") << "Colour, Price; False, True" << colourThenDearest;
    QTest::newRow("ties keep their order")
        << "Price; Descending" << QStringList{"Coupe", "Roadster", "Pickup", "Van", "Estate", "Saloon", "Mini", "Micro"};
    QTest::newRow("no flags: ascending")
        << "Seats, Name" << QStringList{"Coupe", "Micro", "Roadster", "Mini", "Estate", "Pickup", "Saloon", "Van"};
    QTest::newRow("expression key") << "ABS(Price - 30000); False"
                                    << QStringList{"Estate", "Saloon", "Van", "Pickup", "Roadster", "Coupe", "Mini", "Micro"};
}

void TestRuntimeEngine::sorting()
{
    QFETCH(QString, sort);
    QFETCH(QStringList, order);

    RuntimeEngine engine;
    QVERIFY(engine.load(RuntimeFixture::tree({record(1, "Go", "Info", {"!SORT Cars: " + sort, "!GO End"}),
                                              record(2, "End", "Done", {})},
                                             "Cars", RuntimeFixture::cars())));
    QVERIFY(engine.start());
    QVERIFY(engine.next());
    QCOMPARE(remainingNames(engine), order);
}

void TestRuntimeEngine::sortsStayThroughRemovalsAndBack()
{
    RuntimeEngine engine;
    QVERIFY(engine.load(RuntimeFixture::tree({record(1, "A", "Info", {"!SORT Cars: Price; Descending", "!GO B"}),
                                              record(2, "B", "Info", {"!KILL Cars: Seats > 4", "!SORT Cars: Price; Descending", "!GO C"}),
                                              record(3, "C", "Info", {"!SORT Cars: Name", "!GO D"}),
                                              record(4, "D", "Done", {})},
                                             "Cars", RuntimeFixture::cars())));
    QVERIFY(engine.start());
    QVERIFY(engine.next());
    QVERIFY(engine.next());
    const QStringList dearestFirst{"Coupe", "Roadster", "Mini", "Micro"};
    QCOMPARE(remainingNames(engine), dearestFirst);
    QVERIFY(engine.next());
    QCOMPARE(remainingNames(engine), (QStringList{"Coupe", "Micro", "Mini", "Roadster"}));
    QVERIFY(engine.back());
    QCOMPARE(remainingNames(engine), dearestFirst);
    QVERIFY(engine.next()); // the order Back restored is sorted again, not taken for sorted
    QCOMPARE(remainingNames(engine), (QStringList{"Coupe", "Micro", "Mini", "Roadster"}));
}

void TestRuntimeEngine::faults_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("error");

    const QString endPage = record(9, "End", "Done", {});
    QTest::newRow("unknown control reference")
        << QStringList{record(1, "A", "Info", {"!IF [[Nope]] = 1", "!GO End", "!ENDIF"}), endPage}
        << LoadResString(12504) + "Nope";
    QTest::newRow("division by zero")
        << QStringList{record(1, "A", "NumBox", {"&2", "!SET [[B]] = 10 / ([[A]] - 2)", "^0-5"}), record(2, "B", "NumBox", {}), endPage}
        << LoadResString(32501).arg("10 / ([[A]] - 2)").arg(4);
    QTest::newRow("loop of !GO without a page")
        << QStringList{record(1, "A", "Info", {"!GO B"}), record(2, "B", "Radio", {"!GO C"}),
                       record(3, "C", "List", {"!GO B"}), endPage}
        << LoadResString(32508).arg(RuntimeEngine::DefaultStepLimit);
    QTest::newRow("unknown selector")
        << QStringList{record(1, "A", "Info", {"!KILL Trucks: Price > 1", "!GO End"}), endPage}
        << LoadResString(32509).arg("Trucks");
    QTest::newRow("unknown property")
        << QStringList{record(1, "A", "Info", {"!KILL Cars: Weight > 1", "!GO End"}), endPage}
        << LoadResString(32513).arg("Cars", "Weight");
    QTest::newRow("unknown item")
        << QStringList{record(1, "A", "Info", {"!IF <<Cars:Price;Bus>> > 1", "!ENDIF", "!GO End"}), endPage}
        << LoadResString(32514).arg("Cars", "Bus");
    QTest::newRow("!GO to a missing control")
        << QStringList{record(1, "A", "Info", {"!GO Nowhere"}), endPage} << LoadResString(32507).arg("Nowhere");
    QTest::newRow("!ELSE without !IF")
        << QStringList{record(1, "A", "Info", {"!ELSE", "!GO End"}), endPage} << LoadResString(32517).arg("!ELSE");
    QTest::newRow("bare name outside !KILL")
        << QStringList{record(1, "A", "Info", {"!IF Price > 2", "!ENDIF"}), endPage} << LoadResString(32515).arg("Price");
    QTest::newRow("text where a number belongs")
        << QStringList{record(1, "A", "Info", {"!IF \"ten\" * 2 > 1", "!ENDIF"}), endPage}
        << LoadResString(32503).arg("ten").arg(1);
    QTest::newRow("!SET a value the control cannot take")
        << QStringList{record(1, "A", "Info", {"!SET [[R]] = \"Purple\""}), record(2, "R", "Radio", {"^Red"}), endPage}
        << LoadResString(32524).arg("!SET [[R]] = \"Purple\"", LoadResString(32510).arg("R", "Purple"));
    QTest::newRow("unknown action")
        << QStringList{record(1, "A", "Info", {"!LAUNCH rockets"}), endPage} << LoadResString(32506).arg("!LAUNCH rockets");
    QTest::newRow("malformed !KILL")
        << QStringList{record(1, "A", "Info", {"!KILL Price > 3"}), endPage}
        << LoadResString(32518).arg("!KILL Price > 3", "SSS_Name:Expression");
    QTest::newRow("sort order word")
        << QStringList{record(1, "A", "Info", {"!SORT Cars: Price; Upwards"}), endPage} << LoadResString(32526).arg("Upwards");
}

void TestRuntimeEngine::faults()
{
    QFETCH(QStringList, records);
    QFETCH(QString, error);

    RuntimeEngine engine;
    RecordingHost host;
    engine.registerHost(&host);
    QVERIFY(engine.load(RuntimeFixture::tree(records, "Cars", RuntimeFixture::cars())));
    engine.start();
    runThrough(engine);
    QVERIFY(!engine.isRunning());
    QCOMPARE(engine.runEnd(), RuntimeEngine::RunEnd::Failed);
    QCOMPARE(host.count(RuntimeEvent::Error), 1);
    QVERIFY2(engine.errorText().startsWith(error), qPrintable(engine.errorText()));
    QCOMPARE(host.events.last().code, int(RuntimeEvent::Closed));
}

void TestRuntimeEngine::backRestoresValuesItemsAndOrder()
{
    RuntimeEngine engine;
    QVERIFY(engine.load(RuntimeFixture::tree(Narrowing, "Cars", RuntimeFixture::cars())));
    QVERIFY(engine.start());
    const QStringList all = remainingNames(engine);
    QVERIFY(!engine.setAnswer(1, "Cheap"));
    QVERIFY(engine.next());
    const QStringList cheap = remainingNames(engine);
    QCOMPARE(cheap, (QStringList{"Mini", "Estate", "Saloon", "Micro"}));
    QVERIFY(!engine.setAnswer(2, "5"));
    QVERIFY(engine.next());
    QVERIFY(!engine.setAnswer(3, "Cheapest"));
    QVERIFY(engine.next());
    QCOMPARE(remainingNames(engine), (QStringList{"Estate", "Saloon"}));
    QCOMPARE(engine.page(), QList<int>{4});

    QVERIFY(engine.back()); // the order page again, before its sort ran
    QCOMPARE(engine.page(), QList<int>{3});
    QCOMPARE(remainingNames(engine), (QStringList{"Estate", "Saloon"}));
    QVERIFY(engine.back()); // the seats page with the answer it had when it was left
    QCOMPARE(engine.value(2), QString("5"));
    QCOMPARE(remainingNames(engine), cheap);
    QVERIFY(engine.selector("Cars")->removalOf(engine.selector("Cars")->findItem("Van")));
    QVERIFY(!engine.selector("Cars")->removalOf(engine.selector("Cars")->findItem("Mini")));
    QVERIFY(engine.back());
    QCOMPARE(engine.value(2), QString("4")); // never answered before the first page was left
    QCOMPARE(remainingNames(engine), all);
    QVERIFY(!engine.canGoBack());
    QVERIFY(!engine.back());

    // The way forward again takes the new answers.
    QVERIFY(!engine.setAnswer(1, "Any"));
    QVERIFY(engine.next());
    QCOMPARE(remainingNames(engine), all);
}

// A long run's history must not copy every earlier value on each page: each page left keeps its
// shown value and the changes made after it, and Back winds exactly those back.
void TestRuntimeEngine::historyKeepsOnlyWhatEachPageChanged()
{
    constexpr int Pages = 60;
    QStringList records{record(1, "Count", "NumBox", {"&0"}), record(2, "Outside", "TextArea", {})};
    for (int page = 0; page < Pages; ++page) {
        const int id = 10 + page;
        const QString go = page + 1 < Pages ? QStringLiteral("!GO _%1").arg(id + 1) : QStringLiteral("!GO End");
        QStringList tail{"!SET [[Count]] = [[Count]] + 1", "!DEFAULT [[Total]] = [[Count]] * 2", go};
        if (page == 1)
            tail.prepend("!SET [[Outside]] = [[Elsewhere]]");
        records.append(record(id, QStringLiteral("Q%1").arg(page), "NumBox", tail));
    }
    records.append(record(3, "Total", "NumBox", {}));
    records.append(record(4, "End", "Done", {}));
    RuntimeEngine engine;
    RecordingHost host;
    host.values.insert("Elsewhere", "x");
    engine.registerHost(&host);
    QVERIFY(engine.load(RuntimeFixture::tree(records)));
    QVERIFY(engine.start("_10"));

    QList<qsizetype> kept{engine.historyValues()};
    for (int page = 0; page < Pages; ++page) {
        QVERIFY(!engine.setAnswer(10 + page, QString::number(page * 3)));
        QVERIFY(engine.next());
        kept.append(engine.historyValues());
    }
    QCOMPARE(engine.value(1), QString::number(Pages));
    QCOMPARE(host.count(RuntimeEvent::ValueRequest), 1);
    // The page's value, its answer, the !SET and the !DEFAULT: the same on the last page as on
    // the third, however many answers came before (the second page also asked for Elsewhere).
    for (int page = 2; page < Pages; ++page)
        QCOMPARE(kept.at(page + 1) - kept.at(page), kept.at(3) - kept.at(2));
    QCOMPARE(kept.at(3) - kept.at(2), 4);
    QCOMPARE(engine.pagesLeft().size(), Pages);
    QCOMPARE(engine.pagesLeft().at(5).values, QStringList{"15"});

    // Back undoes each page's changes in turn: its answer stays as it was when it was left.
    for (int page = Pages - 1; page >= 0; --page) {
        QVERIFY(engine.back());
        QCOMPARE(engine.page(), QList<int>{10 + page});
        QCOMPARE(engine.value(10 + page), QString::number(page * 3));
        QCOMPARE(engine.value(1), QString::number(page));
        QCOMPARE(engine.value(3), page == 0 ? QString() : QString::number(page * 2));
        QCOMPARE(engine.value(2), page >= 2 ? QString("x") : QString());
    }
    QVERIFY(!engine.canGoBack());
    QCOMPARE(engine.historyValues(), 0);
    // The outside value was forgotten with the page that asked for it, so it is asked again.
    QVERIFY(engine.next());
    QVERIFY(!engine.setAnswer(11, "1"));
    QVERIFY(engine.next());
    QCOMPARE(host.count(RuntimeEvent::ValueRequest), 2);
}

void TestRuntimeEngine::eventsOfARun()
{
    RuntimeEngine engine;
    RecordingHost host;
    engine.registerHost(&host);
    QVERIFY(engine.load(RuntimeFixture::tree(
        {record(1, "Size", "Radio", {"^Big", "!CALL big chosen", "!GO End"}, "2"), record(2, "Note", "StringBox", {}),
         record(3, "End", "Done", {})})));
    QVERIFY(engine.start());
    QCOMPARE(engine.pageState().read(), QString("1|2"));
    // Nothing chosen is no answer for a choice, whoever gives it (the player, a run, the web),
    // while an empty text is one.
    QCOMPARE(engine.setAnswer(1, " "), std::optional<QString>(LoadResString(32571).arg("Size")));
    QVERIFY(!engine.setAnswer(2, ""));
    // The message names a control by its caption when it has one, as the page shows it.
    RuntimeEngine captioned;
    QVERIFY(captioned.load(RuntimeFixture::tree({record(1, "Usage", "Radio", {"$What will you use it for?", "^Work", "!GO End"}),
                                                 record(2, "End", "Done", {})})));
    QVERIFY(captioned.start());
    QCOMPARE(captioned.setAnswer(1, ""), std::optional<QString>(LoadResString(32571).arg("What will you use it for?")));
    QVERIFY(!engine.setAnswer(1, "Big"));
    QVERIFY(!engine.setAnswer(2, "a|b"));
    QVERIFY(engine.next());
    QVERIFY(engine.next()); // the Done page ends the run
    QCOMPARE(host.codes(), (QList<int>{2, 1, 8, 2048, 2, 1, 4}));
    QCOMPARE(host.events.at(1).text, QString("Big|a,b"));
    QCOMPARE(host.events.at(2).text, QString("big chosen"));
    QCOMPARE(host.events.at(3).arguments, (QStringList{"!CALL big chosen", "!GO End"}));
    QCOMPARE(host.events.last().arguments, QStringList{QString::number(int(RuntimeEngine::RunEnd::Done))});
    QCOMPARE(engine.runEnd(), RuntimeEngine::RunEnd::Done);

    const RuntimeEngine::RunValues values = engine.values();
    QCOMPARE(values.controls.at(0), (std::pair<QString, QString>("Size", "Big")));
    QCOMPARE(values.controls.at(1), (std::pair<QString, QString>("Note", "a|b")));
}

void TestRuntimeEngine::hostSteersThePageState()
{
    const QStringList records{record(1, "A", "Radio", {"^x"}), record(2, "B", "Radio", {"^y", "!GO C"}),
                              record(3, "C", "Radio", {"^z"}), record(4, "D", "Done", {})};
    // As test mode does: a page reached without a !GO is replaced by the default done page.
    RuntimeEngine engine;
    RecordingHost host;
    engine.registerHost(&host);
    bool noGo = false;
    host.onEvent = [&](int code) {
        if (code == RuntimeEvent::ActionsRun || code == RuntimeEvent::PageLeft)
            noGo = true;
        if (code == RuntimeEvent::ActionsRun)
            for (const QString& line : host.events.last().arguments)
                noGo = noGo && !line.startsWith("!GO");
        if (code == RuntimeEvent::PageShown && noGo) {
            noGo = false;
            engine.pageState().setNextControl(-1);
        }
    };
    QVERIFY(engine.load(RuntimeFixture::tree(records)));
    engine.pageState().setNextControl(2); // the start control, told before the run
    QVERIFY(engine.start());
    QCOMPARE(engine.page(), QList<int>{2});
    QVERIFY(!engine.setAnswer(2, "y"));
    QVERIFY(engine.next());
    QCOMPARE(engine.page(), QList<int>{3});
    QVERIFY(!engine.setAnswer(3, "z"));
    QVERIFY(engine.next());
    QVERIFY(engine.onDefaultDonePage());
    QCOMPARE(engine.pageState().read(), QString());

    // Told while a page is left, the host's choice wins over the !GO.
    host.onEvent = [&](int code) {
        if (code == RuntimeEvent::PageLeft)
            engine.pageState().setNextControl(4);
    };
    QVERIFY(engine.start("B"));
    QVERIFY(!engine.setAnswer(2, "y"));
    QVERIFY(engine.next());
    QCOMPARE(engine.page(), QList<int>{4});
}

void TestRuntimeEngine::hostAnswersDefinitionsAndValues()
{
    RuntimeEngine engine;
    RecordingHost host;
    host.definitions.insert("_99", record(99, "", "Done", {}, QString(), "Goodbye"));
    host.values.insert("Outside", "7");
    engine.registerHost(&host);
    QVERIFY(engine.load(RuntimeFixture::tree(
        {record(1, "A", "Info", {"!IF [[Outside]] + [[outside]] = 14", "!SET [[B]] = [[Outside]] * 2", "!ENDIF", "!GO _99"}),
         record(2, "B", "NumBox", {})})));
    QVERIFY(engine.start());
    QVERIFY(engine.next());
    QCOMPARE(host.count(RuntimeEvent::ValueRequest), 1); // asked once, then remembered
    QCOMPARE(engine.value(2), QString("14"));
    QCOMPARE(engine.page(), QList<int>{99});
    QCOMPARE(engine.control(99)->displayName(), QString("_99"));
    QCOMPARE(engine.control(99)->header, QString("Goodbye"));
    QVERIFY(engine.onDonePage());
}

void TestRuntimeEngine::stepThroughReportsEachAction()
{
    RuntimeEngine engine;
    RecordingHost host;
    engine.registerHost(&host);
    engine.setMode(RuntimeEngine::Mode::StepThrough);
    QVERIFY(engine.load(RuntimeFixture::tree({record(1, "A", "Info", {"!NOOP", "!EARLYFINISH On", "!GO B"}),
                                              record(2, "B", "Radio", {"^x"})})));
    QVERIFY(engine.start());
    QVERIFY(engine.next());
    QCOMPARE(host.count(RuntimeEvent::ActionsRun), 3);
    QVERIFY(engine.earlyFinish());
    QVERIFY(engine.finish());
    QCOMPARE(engine.runEnd(), RuntimeEngine::RunEnd::Finished);
}

void TestRuntimeEngine::stopEndsEvents()
{
    RuntimeEngine engine;
    RecordingHost host;
    engine.registerHost(&host);
    QVERIFY(engine.load(RuntimeFixture::tree({record(1, "A", "Info", {"!GO B"}), record(2, "B", "Radio", {"^x"})})));
    QVERIFY(engine.start());
    const qsizetype before = host.events.size();
    engine.stop();
    QVERIFY(!engine.next());
    QVERIFY(!engine.isRunning());
    QCOMPARE(engine.runEnd(), RuntimeEngine::RunEnd::Stopped);
    QCOMPARE(host.events.size(), before);

    QTemporaryDir folder;
    const QString source = folder.filePath("a.kvd");
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("tree");
    file.close();
    QVERIFY(engine.fileUtility().copy(folder.filePath("a.tmp"), source));
    QVERIFY(engine.fileUtility().copy(folder.filePath("a.tmp"), source)); // replaces the old copy
}

void TestRuntimeEngine::loadRefusesBrokenRules_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QString>("message");

    QTest::newRow("no BEGIN") << "1\t\tA\t\t\t\"\"\tInfo\t\r\n" << LoadResString(32519);
    QTest::newRow("not a record") << "BEGIN\r\nhello\tworld\r\n" << LoadResString(32520).arg(2);
    QTest::newRow("two controls, one ID") << "BEGIN\r\n3\t\tA\t\t\t\"\"\tInfo\t\r\n3\t\tB\t\t\t\"\"\tInfo\t\r\n"
                                          << LoadResString(32521).arg(3);
    QTest::newRow("empty") << "BEGIN\r\n" << LoadResString(32522);
}

void TestRuntimeEngine::loadRefusesBrokenRules()
{
    QFETCH(QString, rules);
    QFETCH(QString, message);

    RuntimeEngine engine;
    CompiledTree tree;
    tree.rulesText = rules;
    const StorageResult loaded = engine.load(tree);
    QVERIFY(!loaded);
    QCOMPARE(loaded.message, message);
    QVERIFY(!engine.start());
}

void TestRuntimeEngine::readsADesktopTreeFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("cars.kvd");
    const CompiledTree written = RuntimeFixture::tree(Narrowing, "Cars", RuntimeFixture::cars());
    {
        StorageDocument document;
        QVERIFY(document.create());
        StorageNode rules = document.rootNode();
        QVERIFY(rules.open(ProjectNodes::RulesFile));
        QVERIFY(rules.writeText(written.rulesText));
        StorageNode table = document.rootNode();
        QVERIFY(table.open(ProjectNodes::Databases + "Cars"));
        QVERIFY(table.writeTable(written.tables.first().rows));
        StorageNode external = document.rootNode();
        QVERIFY(external.open(ProjectNodes::ExternalDatabases + "Remote"));
        QVERIFY(document.saveAs(path));
    }
    CompiledTree read;
    QVERIFY(CompiledTree::readFile(path, read));
    QCOMPARE(read.rulesText, written.rulesText);
    QCOMPARE(read.tables.size(), 1); // external selectors are settings, not tables
    QCOMPARE(read.tables.first().name, QString("Cars"));
    QCOMPARE(read.tables.first().rows, written.tables.first().rows);

    const QString project = folder.filePath("plain.kvp");
    {
        StorageDocument document;
        QVERIFY(document.create());
        QVERIFY(document.saveAs(project));
    }
    const StorageResult refused = CompiledTree::readFile(project, read);
    QVERIFY(!refused);
    QCOMPARE(refused.message, LoadResString(32505).arg(project));
}

KV_REGISTER_TEST(TestRuntimeEngine)
#include "tst_RuntimeEngine.moc"
