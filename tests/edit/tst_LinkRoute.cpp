#include "common/TestRegistry.h"

#include "edit/LinkRoute.h"

#include <QTest>

using LinkRoute::Style;
using Points = QList<QPointF>;

Q_DECLARE_METATYPE(LinkRoute::Style)

class TestLinkRoute : public QObject {
    Q_OBJECT

private slots:
    void linesFollowTheStyle_data()
    {
        QTest::addColumn<Style>("style");
        QTest::addColumn<QRectF>("target");
        QTest::addColumn<Points>("expected");
        // The source box is always (0, 0) to (100, 50); y grows downwards here.
        QTest::newRow("straight, below right")
            << Style::Straight << QRectF(300, 200, 100, 50) << Points{{87.5, 50}, {312.5, 200}};
        QTest::newRow("straight, beside") << Style::Straight << QRectF(300, 0, 100, 50) << Points{{100, 25}, {300, 25}};
        QTest::newRow("horizontal, below right")
            << Style::OrthogonalHorizontal << QRectF(300, 200, 100, 50) << Points{{100, 25}, {350, 25}, {350, 200}};
        QTest::newRow("horizontal, above left")
            << Style::OrthogonalHorizontal << QRectF(-300, -200, 100, 50)
            << Points{{0, 25}, {-250, 25}, {-250, -150}};
        QTest::newRow("horizontal, stacked")
            << Style::OrthogonalHorizontal << QRectF(10, 200, 100, 50) << Points{{55, 50}, {55, 200}};
        QTest::newRow("horizontal, level")
            << Style::OrthogonalHorizontal << QRectF(300, 10, 100, 50) << Points{{100, 30}, {300, 30}};
        QTest::newRow("vertical, below right")
            << Style::OrthogonalVertical << QRectF(300, 200, 100, 50) << Points{{50, 50}, {50, 225}, {300, 225}};
        QTest::newRow("vertical, above left")
            << Style::OrthogonalVertical << QRectF(-300, -200, 100, 50)
            << Points{{50, 0}, {50, -175}, {-200, -175}};
        QTest::newRow("vertical, level") << Style::OrthogonalVertical << QRectF(300, 10, 100, 50)
                                         << Points{{100, 30}, {300, 30}};
    }

    void linesFollowTheStyle()
    {
        QFETCH(Style, style);
        QFETCH(QRectF, target);
        QFETCH(Points, expected);
        QCOMPARE(LinkRoute::Points(QRectF(0, 0, 100, 50), target, style), expected);
    }

    void storedStyles_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<Style>("style");
        QTest::newRow("0") << 0 << Style::Straight;
        QTest::newRow("1") << 1 << Style::OrthogonalHorizontal;
        QTest::newRow("2") << 2 << Style::OrthogonalVertical;
        QTest::newRow("unknown") << 7 << Style::Straight;
        QTest::newRow("negative") << -1 << Style::Straight;
    }

    void storedStyles()
    {
        QFETCH(int, stored);
        QFETCH(Style, style);
        QCOMPARE(LinkRoute::StyleFromSetting(stored), style);
    }
};

KV_REGISTER_TEST(TestLinkRoute)
#include "tst_LinkRoute.moc"
