#include "common/TestRegistry.h"

#include "views/DiagramLinks.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

namespace {

bool contains(const std::vector<qint16>& keys, qint16 key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath path;
    path.moveTo(from);
    path.lineTo(to);
    return path;
}

} // namespace

class TestDiagramLinks : public QObject {
    Q_OBJECT

private slots:
    // A rectangle finds every control with a line through it, on both sides of the origin and
    // at any slope, and each once; after a control's links change, only the new ones count.
    void findsEveryLineThroughARectangle()
    {
        QRandomGenerator random(20261208);
        const auto coordinate = [&random] { return random.bounded(-6000.0) + 3000.0; };
        DiagramLinks links;
        struct Drawn { QPointF from, to; };
        std::vector<Drawn> drawn(300);
        for (int round = 0; round < 2; ++round) {
            for (qint16 key = 1; key <= 300; ++key) {
                if (round == 1 && key % 3 != 0)
                    continue;
                QPointF from(coordinate(), coordinate());
                QPointF to(coordinate(), coordinate());
                // Lines along the axes and on cell edges, as routed links lie.
                if (key % 4 == 0)
                    to.setY(from.y());
                if (key % 4 == 1)
                    to.setX(from.x());
                if (key % 10 == 0)
                    from.setY(800), to.setY(800);
                drawn[key - 1] = {from, to};
                links.set(key, line(from, to), line(to, from));
            }
            // Zoomed far out, the search goes by the filled cells instead.
            QCOMPARE(links.keysNear(QRectF(-1e5, -1e5, 2e5, 2e5)).size(), std::size_t(300));
            for (int probe = 0; probe < 200; ++probe) {
                const QRectF rect(coordinate(), coordinate(), random.bounded(600.0) + 1, random.bounded(600.0) + 1);
                const std::vector<qint16> found = links.keysNear(rect);
                std::vector<qint16> unique = found;
                std::sort(unique.begin(), unique.end());
                QVERIFY(std::adjacent_find(unique.begin(), unique.end()) == unique.end());
                for (qint16 key = 1; key <= 300; ++key) {
                    const Drawn& line = drawn[key - 1];
                    if (DiagramLinks::Crosses(QLineF(line.from, line.to), rect) && !contains(found, key))
                        QFAIL(qPrintable(QStringLiteral("round %1: control %2 missed").arg(round).arg(key)));
                }
            }
        }
    }

    // Long links across a wide diagram are not found far from where they pass: a repaint of
    // one box must not draw every link whose bounding rectangle covers it.
    void aSmallAreaFindsFewOfManyLongLinks()
    {
        DiagramLinks links;
        for (qint16 key = 1; key <= 2000; ++key) {
            const double y = key * 1000.0;
            links.set(key, line(QPointF(0, y), QPointF(40000, y + 300)), line(QPointF(40000, y), QPointF(0, y - 300)));
        }
        const std::vector<qint16> found = links.keysNear(QRectF(1000, 500000, 200, 100));
        QVERIFY2(found.size() < 100, qPrintable(QString::number(found.size())));
        QVERIFY(contains(found, 500));
    }

    void crossing_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<bool>("crosses");
        QTest::newRow("through") << QLineF(-50, 25, 150, 25) << true;
        QTest::newRow("inside") << QLineF(10, 10, 20, 20) << true;
        QTest::newRow("diagonal past the corner") << QLineF(90, -20, 130, 20) << false;
        QTest::newRow("diagonal over the corner") << QLineF(80, -20, 120, 20) << true;
        QTest::newRow("along, above") << QLineF(-10, -1, 200, -1) << false;
        QTest::newRow("short of it") << QLineF(-50, 25, -1, 25) << false;
        QTest::newRow("upright through") << QLineF(50, 500, 50, -500) << true;
    }

    // The exact test that picks the lines drawn, and that the other tests check the search by.
    void crossing()
    {
        QFETCH(QLineF, line);
        QFETCH(bool, crosses);
        QCOMPARE(DiagramLinks::Crosses(line, QRectF(0, 0, 100, 50)), crosses);
    }

    void removedLinksAreNotFound()
    {
        DiagramLinks links;
        links.set(7, line(QPointF(0, 0), QPointF(1000, 0)), QPainterPath());
        links.set(8, line(QPointF(0, 10), QPointF(1000, 10)), QPainterPath());
        QCOMPARE(links.keysNear(QRectF(400, -5, 50, 20)).size(), std::size_t(2));
        const std::vector<QRectF> repaint = links.remove(7);
        QVERIFY(!repaint.empty());
        QVERIFY(repaint.front().contains(QPointF(500, 0)));
        QCOMPARE(links.keysNear(QRectF(400, -5, 50, 20)), std::vector<qint16>{8});
        QVERIFY(links.routed(7).isEmpty());
        // A label is found where it is written, even across cells and away from its line.
        const QRectF label(390, 600, 500, 16);
        const std::vector<QRectF> labelled = links.set(9, line(QPointF(0, 0), QPointF(0, 50)), QPainterPath(), {{label, "Yes", Qt::AlignLeft}});
        QVERIFY(std::any_of(labelled.begin(), labelled.end(), [&](const QRectF& area) { return area.contains(label); }));
        QCOMPARE(links.keysNear(QRectF(850, 605, 5, 5)), std::vector<qint16>{9});
        links.clear();
        QVERIFY(links.keysNear(QRectF(-1e6, -1e6, 2e6, 2e6)).empty());
    }
};

KV_REGISTER_TEST(TestDiagramLinks)
#include "tst_DiagramLinks.moc"
