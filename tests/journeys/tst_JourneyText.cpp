#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "journeys/JourneyStore.h"
#include "journeys/JourneyText.h"
#include "persist/StorageDocument.h"
#include "persist/StorageNode.h"
#include "tests/journeys/JourneyTree.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every kind of line, values that need escaping, and the engine's own done page in a path.
QList<Journey> everyKindOfLine()
{
    Journey first;
    first.name = QStringLiteral("Changes her mind");
    first.start = QStringLiteral("Riders");
    first.answers = {{"Riders", "Sporty"}, {}, {"Riders", "Family"}, {"Notes", "two lines\nC:\\cars\\new = yes"}};
    first.finishWhenOut = true;
    first.finishOn = QStringLiteral("Colour");
    first.path = {"Riders", "Budget", "Riders", QString()};
    first.values = {{"Notes", "two lines\nC:\\cars\\new = yes"}, {"Budget", ""}};
    first.items = {{"Cars", "Mini", true}, {"Cars", "Van: long", false}};
    first.end = Journey::End::Finished;
    Journey second;
    second.name = QStringLiteral("Bare");
    second.answers = {{"Riders", "Family"}};
    return {first, second};
}

QString refusal(int line, int id, const QString& argument = QString())
{
    const QString reason = argument.isNull() ? LoadResString(id) : LoadResString(id).arg(argument);
    return LoadResString(33010).arg(line).arg(reason);
}

} // namespace

// The journeys as text and as the project's node: what is written reads back the same.
class TestJourneyText : public QObject {
    Q_OBJECT

private slots:
    void journeysSurviveTheText()
    {
        const QList<Journey> journeys = everyKindOfLine();
        const QString text = JourneyText::write(journeys);
        QList<Journey> read;
        QCOMPARE(JourneyText::read(text, read), std::nullopt);
        QCOMPARE(read.size(), journeys.size());
        for (qsizetype i = 0; i < journeys.size(); ++i)
            QVERIFY2(read.at(i) == journeys.at(i), qPrintable(journeys.at(i).name));
        // One journey a block; an escaped value stays on its line.
        QCOMPARE(text.count(QStringLiteral("journey: ")), 2);
        QVERIFY(text.contains(QStringLiteral("Notes=two lines\\nC:\\\\cars\\\\new = yes\n")));
        QVERIFY(text.contains(QStringLiteral("expect path: Riders > Budget > Riders > [done]\n")));
        QVERIFY(text.contains(QStringLiteral("\n\njourney: Bare\n")));
    }

    // A written file reads as written: comments and blank lines go, case and spacing settle.
    void handWrittenTextSettles()
    {
        const QString hand = QStringLiteral("# reviewed\r\n"
                                            "JOURNEY:   Family  \r\n"
                                            "  Riders = Family\r\n"
                                            "back\r\n"
                                            "Expect End: DONE\r\n");
        QList<Journey> read;
        QCOMPARE(JourneyText::read(hand, read), std::nullopt);
        QCOMPARE(JourneyText::write(read), QStringLiteral("journey: Family\nRiders=Family\nBACK\nexpect end: done\n"));
    }

    void refusalsNameTheLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("answer before a journey") << "\nRiders=Family\n" << refusal(2, 33011);
        QTest::newRow("journey without a name") << "journey:\n" << refusal(1, 33011);
        QTest::newRow("name given twice") << "journey: A\njourney: a\n" << refusal(2, 33012, "a");
        QTest::newRow("neither answer nor directive") << "journey: A\nexpect colour: red\n" << refusal(2, 33013);
        QTest::newRow("value without control") << "journey: A\nexpect value: = 3\n" << refusal(2, 33014);
        QTest::newRow("item without selector") << "journey: A\nexpect holds: Mini\n" << refusal(2, 33015);
        QTest::newRow("unknown end") << "journey: A\nexpect end: crashed\n" << refusal(2, 33016);
        QTest::newRow("start twice") << "journey: A\nstart: B\nstart: C\n" << refusal(3, 33017, "start:");
        QTest::newRow("end twice") << "journey: A\nexpect end: done\nexpect end: open\n" << refusal(3, 33017, "expect end:");
    }
    void refusalsNameTheLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QList<Journey> read{Journey{}};
        QCOMPARE(JourneyText::read(text, read), std::optional(refusal));
        QCOMPARE(read.size(), 1); // what was held stays
    }

    // The project's node holds the same journeys after the project is saved and opened again;
    // with none left the node goes.
    void projectNodeRoundTrip()
    {
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("cars.kvp"));
        const QList<Journey> journeys = everyKindOfLine();
        {
            StorageDocument document;
            QVERIFY(document.create());
            QVERIFY(JourneyStore::write(document, journeys));
            QVERIFY(document.saveAs(path));
        }
        StorageDocument reopened;
        QVERIFY(reopened.open(path));
        QList<Journey> read;
        QVERIFY(JourneyStore::read(reopened, read));
        QVERIFY(read == journeys);

        QVERIFY(JourneyStore::write(reopened, {}));
        bool found = true;
        QVERIFY(reopened.rootNode().exists(JourneyStore::Node, found));
        QVERIFY(!found);
        QVERIFY(JourneyStore::read(reopened, read));
        QVERIFY(read.isEmpty());
    }

    // The file beside the project: written, read back; a damaged one is refused with its name.
    void fileRoundTrip()
    {
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("cars.journeys"));
        QVERIFY(JourneyStore::writeFile(path, everyKindOfLine()));
        QList<Journey> read;
        QVERIFY(JourneyStore::readFile(path, read));
        QVERIFY(read == everyKindOfLine());

        const int appended = int(JourneyText::write(everyKindOfLine()).count(QLatin1Char('\n'))) + 1;
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::Append));
        damaged.write("journey: Bare\n");
        damaged.close();
        const StorageResult refused = JourneyStore::readFile(path, read);
        QVERIFY(!refused);
        QVERIFY2(refused.message.contains(path) && refused.message.contains(refusal(appended, 33012, "Bare")),
                 qPrintable(refused.message));
    }
};

KV_REGISTER_TEST(TestJourneyText)
#include "tst_JourneyText.moc"
