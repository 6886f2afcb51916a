#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "journeys/JUnitReport.h"
#include "journeys/JourneyCoverage.h"
#include "journeys/JourneyRecorder.h"
#include "journeys/JourneyRun.h"
#include "tests/journeys/JourneyTree.h"

#include <QTest>
#include <QXmlStreamReader>

namespace {

// The family journey with one line replaced (or added, when the line is not there).
QString familyWith(const QString& line, const QString& replacement)
{
    QString text = JourneyTree::familyText();
    if (line.isEmpty() || !text.contains(line))
        return text + replacement + QLatin1Char('\n');
    return text.replace(line + QLatin1Char('\n'), replacement.isEmpty() ? QString() : replacement + QLatin1Char('\n'));
}

// Answers the page's controls from the table and presses Next.
void answerAndNext(RuntimeEngine& engine, const QHash<QString, QString>& answers)
{
    for (const int id : engine.page()) {
        const QString name = engine.control(id)->displayName();
        if (answers.contains(name))
            QVERIFY(!engine.setAnswer(id, answers.value(name)));
    }
    QVERIFY(engine.next());
}

} // namespace

// A journey run on a tree passes, or names its first difference with the page where the run
// parted from it.
class TestJourneyRun : public QObject {
    Q_OBJECT

private slots:
    void firstDifference_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("difference");
        const QString path = QStringLiteral("expect path: Riders > Budget > Colour > Finish");
        QTest::newRow("as expected") << JourneyTree::familyText() << QString();
        QTest::newRow("path parts") << familyWith(path, "expect path: Riders > Colour > Finish")
                                    << "the path parts after page 1 (Riders): expected Colour, was Budget";
        QTest::newRow("other first page") << familyWith(QString(), "start: Budget")
                                          << "the first page: expected Riders, was Budget";
        QTest::newRow("run ends before the path") << familyWith(path, path + " > Riders")
                                                  << "the path parts after page 4 (Finish): expected Riders, was the end of the run";
        QTest::newRow("answer refused") << familyWith("Budget=20000", "Budget=200000")
                                        << "the run stopped on page 2 (Budget): \"200000\" is outside the limits of Budget (0-100000).";
        QTest::newRow("answers run out") << familyWith("Colour=Any", QString())
                                         << "the run stopped on page 3 (Colour): no answer for Colour on page 3.";
        QTest::newRow("other end") << familyWith("expect end: done", "expect end: finished")
                                   << "the run ends on page 4 (Finish): expected finished early, was done";
        QTest::newRow("answer no page took") << familyWith(QString(), "Wheels=4")
                                             << "answers no page took: Wheels=4 (the run ended on page 4 (Finish))";
        QTest::newRow("value") << familyWith("expect value: Budget = 20000", "expect value: Budget = 25000")
                               << "the value of Budget: expected \"25000\", was \"20000\" (given on page 2 (Budget))";
        QTest::newRow("value of no control") << familyWith(QString(), "expect value: Wheels = 4")
                                             << "the value of Wheels: expected \"4\", but the tree has no such control";
        QTest::newRow("item removed") << familyWith("expect lacks: Cars: Van", "expect holds: Cars: Estate")
                                      << "Cars should hold Estate, but page 2 (Budget) removed it (Budget / 0-25000: !KILL Cars: Price > 25000)";
        QTest::newRow("item removed on the first page") << familyWith("expect lacks: Cars: Van", "expect holds: Cars: Coupe")
                                                        << "Cars should hold Coupe, but page 1 (Riders) removed it (Riders / Family: !KILL Cars: Seats < 4)";
        QTest::newRow("item kept") << familyWith("expect holds: Cars: Mini", "expect lacks: Cars: Mini")
                                   << "Cars should not hold Mini, but it still did at the end (page 4 (Finish))";
        QTest::newRow("no such item") << familyWith("expect holds: Cars: Mini", "expect holds: Cars: Tram")
                                      << "the selector Cars has no item Tram";
        QTest::newRow("no such selector") << familyWith("expect holds: Cars: Mini", "expect holds: Bikes: Mini")
                                          << "the tree has no selector Bikes (expected to hold or lack Mini)";
    }
    void firstDifference()
    {
        QFETCH(QString, text);
        QFETCH(QString, difference);
        const Journey journey = JourneyTree::journey(text);
        QVERIFY(!journey.name.isEmpty());
        const JourneyResult result = JourneyRun::run(JourneyTree::cars(), journey);
        QCOMPARE(result.difference, difference);
        QCOMPARE(result.passed, difference.isEmpty());
        QCOMPARE(result.name, QStringLiteral("Family"));
    }

    // The value a later page changed is traced to that page, and a value an action set to the
    // page that ran the action.
    void valueTracedToThePageThatGaveIt()
    {
        const Journey journey = JourneyTree::journey(QStringLiteral("journey: Rich\nRiders=Sporty\nBudget=60000\n"
                                                                    "Colour=Any\nexpect value: Colour = Red\n"));
        QCOMPARE(JourneyRun::run(JourneyTree::cars(), journey).difference,
                 QStringLiteral("the value of Colour: expected \"Red\", was \"Any\" (given on page 3 (Colour))"));
        const Journey waiting = JourneyTree::journey(QStringLiteral("journey: Rich\nRiders=Sporty\nBudget=60000\n"
                                                                    "expect value: Colour = Blue\nexpect end: open\n"));
        QCOMPARE(JourneyRun::run(JourneyTree::cars(), waiting).difference,
                 QStringLiteral("the value of Colour: expected \"Blue\", was \"Red\" (given on page 2 (Budget))"));
    }

    void endsOpenOrFinished_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("difference");
        QTest::newRow("waits where expected") << "journey: J\nRiders=Family\nexpect path: Riders > Budget\nexpect end: open\n"
                                              << QString();
        QTest::newRow("waits elsewhere") << "journey: J\nRiders=Family\nexpect path: Riders\nexpect end: open\n"
                                         << "the path parts after page 1 (Riders): expected the end of the run, was Budget";
        QTest::newRow("finishes where answered") << "journey: J\nRiders=Family\nBudget=30000\nfinish: Budget\n"
                                                    "expect path: Riders > Budget\nexpect end: finished\n"
                                                 << QString();
        QTest::newRow("finishes where the answers run out") << "journey: J\nRiders=Family\nFINISH\nexpect path: Riders > Budget\n"
                                                               "expect end: finished\n"
                                                            << QString();
        QTest::newRow("finish not allowed") << "journey: J\nfinish: Riders\nRiders=Family\n"
                                            << "the run stopped on page 1 (Riders): " + LoadResString(33000).arg("Riders");
    }
    void endsOpenOrFinished()
    {
        QFETCH(QString, text);
        QFETCH(QString, difference);
        QCOMPARE(JourneyRun::run(JourneyTree::cars(), JourneyTree::journey(text)).difference, difference);
    }

    // Coverage names what no journey met, and nothing that one did.
    void coverageListsWhatNoJourneyMet()
    {
        const CompiledTree tree = JourneyTree::cars();
        JourneyCoverage coverage;
        for (const QString& text : {JourneyTree::familyText(),
                                    QStringLiteral("journey: Sporty\nRiders=Sporty\nBudget=30000\nFINISH\n")}) {
            JourneyRun::run(tree, JourneyTree::journey(text), &coverage);
        }
        RuntimeEngine engine;
        QVERIFY(engine.load(tree));
        const QStringList gaps = coverage.gaps(engine);
        QCOMPARE(coverage.runs(), 2);
        QCOMPARE(gaps, QStringList({
                           "  Budget / 25001-100000: branch \"!IF [[Budget]] > 50000\" run by no journey",
                           "  Colour: option \"Red\" taken by no journey",
                           "  Cars: kept to the end by no journey: Van, Estate, Saloon, Pickup",
                       }));
    }

    // A branch that never held and a block passed with none of its branches running.
    void coverageOfBranches()
    {
        const CompiledTree tree = JourneyTree::cars();
        JourneyCoverage coverage;
        JourneyRun::run(tree, JourneyTree::journey("journey: Rich\nRiders=Family\nBudget=60000\nColour=Red\n"), &coverage);
        RuntimeEngine engine;
        QVERIFY(engine.load(tree));
        const QStringList gaps = coverage.gaps(engine);
        QVERIFY2(gaps.contains("  Budget / 25001-100000: no journey went through \"!IF [[Budget]] > 50000\" with none of its "
                               "branches running"),
                 qPrintable(gaps.join('\n')));
        QVERIFY(!gaps.join('\n').contains("branch \"!IF"));
        QVERIFY(gaps.contains("  Riders: option \"Sporty\" taken by no journey"));
        QVERIFY(gaps.contains("  Budget: option \"0-25000\" taken by no journey"));
        QVERIFY(!gaps.join('\n').contains("Colour: option \"Red\""));
        QVERIFY(!gaps.join('\n').contains("reached by no journey"));
    }

    // Two runs of one journey, on the tree and on a copy with one line changed, part where the
    // change shows first.
    void runsCompared_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("difference");
        QTest::newRow("same tree") << QString() << QString() << QString();
        QTest::newRow("a page") << "^Any\t!GO Finish" << "^Any\t!GO Budget"
                                << "page 4 (Finish): the desktop run gave \"Finish\", the web run \"Budget\"";
        QTest::newRow("a value") << "!KILL Cars: Price > 25000" << "!SET [[Budget]] = 100\t!KILL Cars: Price > 25000"
                                 << "the value of Budget: the desktop run gave \"20000\", the web run \"100\"";
        QTest::newRow("an item") << "!KILL Cars: Price > 25000" << "!KILL Cars: Price > 30000"
                                 << "the items left in Cars: the desktop run gave \"Mini\", the web run \"Mini, Estate, Saloon\"";
        QTest::newRow("an answer refused") << "^0-25000" << "^30000-35000"
                                           << "page 3 (Colour): the desktop run gave \"Colour\", the web run a stop: "
                                              "\"20000\" is outside the limits of Budget (25001-100000).";
    }
    void runsCompared()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, difference);
        const CompiledTree tree = JourneyTree::cars();
        CompiledTree changed = tree;
        QVERIFY(from.isEmpty() || changed.rulesText.contains(from));
        changed.rulesText.replace(from, to);
        const Journey journey = JourneyTree::journey(JourneyTree::familyText());
        const JourneyObserved first = JourneyRun::run(tree, journey).observed;
        const JourneyObserved second = JourneyRun::run(changed, journey).observed;
        QCOMPARE(JourneyRun::firstDifference(first, second), difference);
    }

    // JUnit XML: one test case a journey, a failure element for each that failed.
    void junitCounts()
    {
        const CompiledTree tree = JourneyTree::cars();
        QList<JUnitReport::Case> cases;
        for (const QString& text : {JourneyTree::familyText(), familyWith("expect end: done", "expect end: open"),
                                    familyWith("expect holds: Cars: Mini", "expect holds: Cars: Van")}) {
            cases.append({JourneyRun::run(tree, JourneyTree::journey(text)), 0.25});
        }
        QXmlStreamReader xml(JUnitReport::xml(QStringLiteral("cars <&>"), cases));
        int testcases = 0;
        int failures = 0;
        QString suiteFailures;
        QString suiteName;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("testsuite")) {
                suiteFailures = xml.attributes().value("failures").toString();
                suiteName = xml.attributes().value("name").toString();
            }
            testcases += xml.name() == QLatin1String("testcase") ? 1 : 0;
            failures += xml.name() == QLatin1String("failure") ? 1 : 0;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(testcases, 3);
        QCOMPARE(failures, 2);
        QCOMPARE(suiteFailures, QStringLiteral("2"));
        QCOMPARE(suiteName, QStringLiteral("cars <&>"));
    }
};

// A run recorded as a journey replays as it went: the way it took (not a change of mind taken
// back), its answers, and how it ended.
class TestJourneyRecorder : public QObject {
    Q_OBJECT

private slots:
    void recordedRunReplays_data()
    {
        QTest::addColumn<int>("ending"); // 0 done, 1 finished, 2 open
        QTest::addColumn<QString>("path");
        QTest::newRow("done") << 0 << "Riders > Budget > Colour > Finish";
        QTest::newRow("finished") << 1 << "Riders > Budget";
        QTest::newRow("open") << 2 << "Riders > Budget > Colour";
    }
    void recordedRunReplays()
    {
        QFETCH(int, ending);
        QFETCH(QString, path);
        const CompiledTree tree = JourneyTree::cars();
        RuntimeEngine engine;
        QVERIFY(engine.load(tree));
        QVERIFY(!JourneyRecorder::record(engine, "none"));
        QVERIFY(engine.start());
        answerAndNext(engine, {{"Riders", "Sporty"}});
        QVERIFY(engine.back());
        answerAndNext(engine, {{"Riders", "Family"}});
        if (ending == 1) {
            // The answer is given on the page Finish is pressed on.
            QVERIFY(!engine.setAnswer(engine.page().first(), "60000"));
            QVERIFY(engine.finish());
        } else {
            answerAndNext(engine, {{"Budget", "60000"}});
            if (ending == 0)
                answerAndNext(engine, {{"Colour", "Any"}});
        }
        const std::optional<Journey> journey = JourneyRecorder::record(engine, "Recorded");
        QVERIFY(journey);
        QCOMPARE(journey->path.join(" > "), path);
        QCOMPARE(journey->start, QStringLiteral("Riders"));
        QCOMPARE(journey->answers.first(), (Journey::Answer{"Riders", "Family"}));
        QCOMPARE(int(*journey->end), ending);
        QVERIFY(journey->values.contains(Journey::Value{"Budget", "60000"}));
        QVERIFY(journey->items.contains(Journey::Item{"Cars", "Coupe", false}));
        const JourneyResult replayed = JourneyRun::run(tree, *journey);
        QVERIFY2(replayed.passed, qPrintable(replayed.difference));
    }

    void stoppedRunIsNotRecorded()
    {
        RuntimeEngine engine;
        QVERIFY(engine.load(JourneyTree::cars()));
        QVERIFY(engine.start());
        engine.stop();
        QVERIFY(!JourneyRecorder::canRecord(engine));
        QVERIFY(!JourneyRecorder::record(engine, "Stopped"));
    }
};

KV_REGISTER_TEST(TestJourneyRun)
KV_REGISTER_TEST(TestJourneyRecorder)
#include "tst_JourneyRun.moc"
