#include "common/TestRegistry.h"

#include "journeys/JourneyText.h"
#include "runtime/AnswerList.h"
#include "selectors/SelectorText.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <limits>

// The text inputs a user names (answers, journeys, selector tables) cost what they hold: each way
// such a file can grow is read in time linear in its size, whether the file is right or not.
namespace {

enum class Reader { Answers, Journeys, SelectorTable };

// A text of the reader's kind grown count times in one way.
QString grown(Reader reader, const QString& way, int count)
{
    const auto repeated = [count](const QString& piece) { return piece.repeated(count); };
    switch (reader) {
    case Reader::Answers:
        if (way == QLatin1String("lines"))
            return repeated(QStringLiteral("Budget=900\n"));
        if (way == QLatin1String("one long value"))
            return QStringLiteral("Choice=") + repeated(QStringLiteral("a|")) + QLatin1Char('\n');
        return repeated(QStringLiteral("BACK\n"));
    case Reader::Journeys:
        if (way == QLatin1String("journeys"))
            return repeated(QStringLiteral("journey: j\nBudget=900\nexpect end: done\n\n"));
        if (way == QLatin1String("one long path"))
            return QStringLiteral("journey: j\nexpect path: Start") + repeated(QStringLiteral(" > Page")) + QLatin1Char('\n');
        return QStringLiteral("journey: j\n") + repeated(QStringLiteral("Budget=9\\n0\\\\\n"));
    case Reader::SelectorTable:
        if (way == QLatin1String("rows"))
            return QStringLiteral("Name,Price\r\n") + repeated(QStringLiteral("Kite,900\r\n"));
        if (way == QLatin1String("cells of one row"))
            return repeated(QStringLiteral("a,")) + QStringLiteral("\r\n");
        // A quoted cell full of doubled quotes and line breaks, then one never closed.
        return QStringLiteral("\"") + repeated(QStringLiteral("\"\"x\r\n")) + QStringLiteral("\"\r\n\"") + repeated(QStringLiteral("y"));
    }
    return QString();
}

void read(Reader reader, const QString& text)
{
    switch (reader) {
    case Reader::Answers: {
        AnswerList answers;
        static_cast<void>(answers.parse(text));
        break;
    }
    case Reader::Journeys: {
        QList<Journey> journeys;
        static_cast<void>(JourneyText::read(text, journeys));
        break;
    }
    case Reader::SelectorTable: {
        SelectorText::Rows rows;
        static_cast<void>(SelectorText::Read(text, rows));
        break;
    }
    }
}

// The fastest of three reads.
qint64 nsToRead(Reader reader, const QString& text)
{
    qint64 fastest = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        read(reader, text);
        fastest = std::min(fastest, timer.nsecsElapsed());
    }
    return std::max<qint64>(fastest, 1);
}

} // namespace

class TestReaderGrowth : public QObject {
    Q_OBJECT

private slots:
    void readingGrowsLinearly_data()
    {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("count");
        QTest::newRow("answers: lines") << Reader::Answers << "lines" << 20000;
        QTest::newRow("answers: one long value") << Reader::Answers << "one long value" << 50000;
        QTest::newRow("answers: BACK lines") << Reader::Answers << "back" << 20000;
        QTest::newRow("journeys: journeys") << Reader::Journeys << "journeys" << 5000;
        QTest::newRow("journeys: one long path") << Reader::Journeys << "one long path" << 20000;
        QTest::newRow("journeys: escaped answers") << Reader::Journeys << "escapes" << 20000;
        QTest::newRow("selector table: rows") << Reader::SelectorTable << "rows" << 20000;
        QTest::newRow("selector table: cells of one row") << Reader::SelectorTable << "cells of one row" << 50000;
        QTest::newRow("selector table: quoted cells") << Reader::SelectorTable << "quoted" << 20000;
    }
    void readingGrowsLinearly()
    {
        QFETCH(Reader, reader);
        QFETCH(QString, way);
        QFETCH(int, count);
        // Eight times the input: linear is about 8, quadratic about 64, whatever the machine's speed.
        const double grew = double(nsToRead(reader, grown(reader, way, 8 * count)))
                            / double(nsToRead(reader, grown(reader, way, count)));
        QVERIFY2(grew < 24, qPrintable(QString::number(grew)));
    }
};

KV_REGISTER_TEST(TestReaderGrowth)
#include "tst_ReaderGrowth.moc"
