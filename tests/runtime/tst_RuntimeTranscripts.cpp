#include "common/TestRegistry.h"

#include "tests/runtime/RuntimeFixture.h"

#include <QFile>
#include <QTest>

using RuntimeFixture::record;

// Each row: a small tree, its answers and the golden file of the whole transcript the run writes
// (KV_WRITE_GOLDEN=1 writes the files anew, to be read over before they are committed).
class TestRuntimeTranscripts : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
};

void TestRuntimeTranscripts::runs_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<bool>("explain");
    QTest::addColumn<QString>("golden");

    const QStringList narrowing{
        record(1, "Budget", "Radio", {"^Cheap", "!KILL Cars: Price > 30000", "!GO Seats", "^Any", "!GO Seats"}),
        record(2, "Seats", "NumBox", {"&4", "^1-2", "!KILL Cars: Seats > 2", "!GO Colour", "^3-9",
                                      "!KILL Cars: Seats < [[Seats]]", "!GO Colour"}),
        record(3, "Colour", "MultiList", {"!KILL Cars: [[Colour]] <> Colour", "^Red", "^Blue", "^White",
                                          "!NOOP", "!GO Order"}),
        record(4, "Order", "Radio", {"^Cheapest", "!SORT Cars: Price, Seats; Ascending, Descending", "!GO End",
                                     "^Roomiest", "!SORT Cars: Seats, Price; True, False", "!GO End"}),
        record(5, "End", "Done", {}),
    };
    QTest::newRow("narrowing and sorting") << narrowing << "Budget=Any\nSeats=5\nColour=white|blue\nOrder=Roomiest\n"
                                           << true << QStringLiteral("narrowing-explained");
    // Back from the colour page undoes the seats page's removals; the seats page keeps its
    // answer where no new one follows, and takes the new one where it does.
    QTest::newRow("back keeps the answer") << narrowing << "Budget=Any\nSeats=5\nBACK\nColour=White\nOrder=Cheapest\n"
                                           << true << QStringLiteral("back-keeps-answer");
    QTest::newRow("back and a new answer") << narrowing
                                           << "Budget=Any\nSeats=5\nColour=White\nBACK\nBACK\nSeats=2\nColour=Red\nOrder=Cheapest\n"
                                           << true << QStringLiteral("back-new-answer");
    QTest::newRow("back on the first page") << narrowing << "BACK\nBudget=Any\n" << false
                                            << QStringLiteral("back-first-page");
    QTest::newRow("choice refused") << narrowing << "Budget=Cheap\nSeats=2\nColour=Red|Green|Blue\nOrder=Cheapest\n"
                                     << false << QStringLiteral("choice-refused");

    const QStringList interfaces{
        record(1, "Welcome", "Info", {"!GO Member"}),
        record(2, "Member", "Check", {"^True", "!SET [[Note]] = \"member\"", "!GO Size", "^False", "!GO Size", "$Member"}),
        record(3, "Size", "List", {"^Small", "!DEFAULT [[Hours]] = 6", "!GO Weight", "^Large", "!GO Weight"}),
        record(4, "Weight", "RealNumBox", {"&2", "^0.5-1.9", "!EARLYFINISH On", "!GO Gear", "^2-3.5", "!GO Gear"}),
        record(5, "Gear", "Slide", {"^Low", "!GO Colour", "^High", "!CALL gear is high", "!GO Colour"}, "12"),
        record(6, "Colour", "Combo", {"^Red", "^Blue", "!GO Go"}, "7,8"),
        record(7, "Hours", "NumSlide", {"^1-12", "!JUMP http://example.com/a"}),
        record(8, "Name", "StringBox", {"!SUBMIT http://example.com/form"}),
        record(9, "Go", "Command", {"$Show", "^True", "!GO Pick", "^False", "!GO Welcome"}),
        record(10, "Pick", "dList", {"^Cars", "!GO Bye"}),
        record(11, "Bye", "Done", {}),
        record(12, "Note", "TextArea", {}),
    };
    QTest::newRow("every interface") << interfaces
                                     << "Member=Checked\nSize=small\nWeight=1.5\nGear=High\nColour=Blue\nName=Ann\n"
                                        "Go=Pushed\nPick=micro\n"
                                     << false << QStringLiteral("every-interface");
    QTest::newRow("finish early") << interfaces << "Member=False\nSize=Large\nWeight=1.5\nFINISH\n" << false
                                  << QStringLiteral("finish-early");
    QTest::newRow("answers run out") << interfaces << "Member=False\nSize=Large\nWeight=1.5\n" << false << QStringLiteral("answers-run-out");
    QTest::newRow("answer refused") << interfaces << "Member=False\nSize=Large\nWeight=4\n" << false << QStringLiteral("number-refused");

    const QStringList withoutGo{
        record(1, "First", "Radio", {"^One", "^Two", "!GO Third"}),
        record(2, "Second", "Info", {}),
        record(4, "Third", "Radio", {"!SET [[Fourth]] = 3", "!GO Fourth"}),
        record(5, "Fourth", "NumBox", {"^1-5"}),
    };
    QTest::newRow("pages without !GO") << withoutGo << "First=One\nFourth=4\n" << false << QStringLiteral("pages-without-go");
    QTest::newRow("control without options") << withoutGo << "First=Two\nFourth=2\n" << false << QStringLiteral("control-without-options");
}

void TestRuntimeTranscripts::runs()
{
    QFETCH(QStringList, records);
    QFETCH(QString, answers);
    QFETCH(bool, explain);
    QFETCH(QString, golden);

    const QString actual = RuntimeFixture::transcript(RuntimeFixture::tree(records, "Cars", RuntimeFixture::cars()),
                                                      answers, explain) + QLatin1Char('\n');
    const QString path = QStringLiteral(KV_TEST_DATA_DIR "/%1.txt").arg(golden);
    if (qEnvironmentVariableIsSet("KV_WRITE_GOLDEN")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(actual.toUtf8());
        QSKIP("golden file written");
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
    QCOMPARE(actual, QString::fromUtf8(file.readAll()));
}

KV_REGISTER_TEST(TestRuntimeTranscripts)
#include "tst_RuntimeTranscripts.moc"
