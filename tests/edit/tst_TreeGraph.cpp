#include "common/TestRegistry.h"

#include "edit/CanvasModel.h"
#include "edit/TreeGraph.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <memory>

namespace {

// Start and Side stand on one row (their links run across); Start links twice to Side, once back
// from Side, and Loop links to itself twice.
struct Drawing {
    CmDecisionManager decisions;
    CanvasModel canvas{decisions};

    Drawing()
    {
        add(1, QStringLiteral("Start"), {QStringLiteral("^A"), QStringLiteral("!GO Side"), QStringLiteral("^B"),
                                         QStringLiteral("!GO Side")}, QPointF(0, 0));
        add(2, QStringLiteral("Side"), {QStringLiteral("^C"), QStringLiteral("!GO Start")}, QPointF(300, 0));
        add(3, QStringLiteral("Loop"), {QStringLiteral("^Again"), QStringLiteral("!GO Loop"), QStringLiteral("^More"),
                                        QStringLiteral("!GO Loop")}, QPointF(0, -300));
    }
    void add(qint16 id, const QString& name, const QStringList& lines, QPointF centre)
    {
        auto item = std::make_unique<CmDecisionItem>();
        item->setIntID(id);
        item->setStrID(name);
        item->setOptsAndActsAsRead(lines);
        decisions.add(std::move(item));
        canvas.AddEntity(centre, id);
    }
    QString svg() const { return TreeGraph::Svg(QStringLiteral("t"), decisions, canvas); }
};

// The path drawn for each label, in the order drawn.
QMap<QString, QString> pathsByLabel(const QString& svg)
{
    static const QRegularExpression edge(QStringLiteral("<path d=\"([^\"]+)\"[^>]*marker-end[^>]*/>\\s*<text x=\"([^\"]+)\" y=\"([^\"]+)\"[^>]*>([^<]+)</text>"));
    QMap<QString, QString> paths;
    for (const QRegularExpressionMatch& match : edge.globalMatch(svg))
        paths.insert(match.captured(4), match.captured(1) + QLatin1Char('@') + match.captured(2) + QLatin1Char(',') + match.captured(3));
    return paths;
}

} // namespace

class TestTreeGraph : public QObject {
    Q_OBJECT

private slots:
    // Every link is drawn, a box's links to itself included.
    void everyLinkIsDrawn()
    {
        const Drawing drawing;
        const QString svg = drawing.svg();
        QCOMPARE(svg.count(QStringLiteral("marker-end=")), 5);
        QCOMPARE(pathsByLabel(svg).keys(), (QStringList{"A", "Again", "B", "C", "More"}));
        // A loop is a curve that leaves and comes back to the box.
        QVERIFY(pathsByLabel(svg).value(QStringLiteral("Again")).contains(QLatin1String(" C")));
    }

    // A link across ends on the target's side, where the arrowhead shows, not inside the box.
    void aLinkAcrossEndsOnTheBorder()
    {
        const Drawing drawing;
        const CanvasEntity* side = drawing.canvas.Entity(2);
        const CanvasEntity* start = drawing.canvas.Entity(1);
        QVERIFY(side && start);
        const QString a = pathsByLabel(drawing.svg()).value(QStringLiteral("A"));
        const QStringList ends = a.section(QLatin1Char('@'), 0, 0).split(QLatin1Char(' '));
        const double startX = ends.first().mid(1).section(QLatin1Char(','), 0, 0).toDouble();
        const double endX = ends.last().mid(1).section(QLatin1Char(','), 0, 0).toDouble();
        // The two boxes' facing sides are the gap between them.
        QCOMPARE(endX - startX, side->bounds().left() - start->bounds().right());
    }

    // Links between the same two boxes, and their labels, stand apart.
    void parallelLinksStandApart()
    {
        const Drawing drawing;
        const QMap<QString, QString> paths = pathsByLabel(drawing.svg());
        QSet<QString> labelPlaces;
        QSet<QString> lines;
        for (const QString& label : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}) {
            labelPlaces.insert(paths.value(label).section(QLatin1Char('@'), 1));
            lines.insert(paths.value(label).section(QLatin1Char('@'), 0, 0));
        }
        QCOMPARE(labelPlaces.size(), 3);
        QCOMPARE(lines.size(), 3);
        QSet<QString> loops{paths.value(QStringLiteral("Again")), paths.value(QStringLiteral("More"))};
        QCOMPARE(loops.size(), 2);
    }
};

KV_REGISTER_TEST(TestTreeGraph)
#include "tst_TreeGraph.moc"
