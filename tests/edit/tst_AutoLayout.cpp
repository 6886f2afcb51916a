#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"

#include "edit/AutoLayout.h"
#include "edit/CmBreadthFirstSearch.h"
#include "edit/DiagramPropertyOwner.h"
#include "edit/DiagramStore.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"
#include "model/LinkTargets.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

// Each control as its name, its lines and the controls it displays ("|"-separated), numbered in order.
using Controls = QList<QStringList>;

Controls wideRow(const QString& root, int width)
{
    QStringList lines;
    Controls controls{{root}};
    for (int i = 1; i <= width; ++i) {
        lines << QStringLiteral("^o%1").arg(i) << QStringLiteral("!GO %1%2").arg(root).arg(i);
        controls.append({QStringLiteral("%1%2").arg(root).arg(i)});
    }
    controls.front().append(lines.join(QLatin1Char('|')));
    return controls;
}

Controls unreached(int count)
{
    Controls controls;
    for (int i = 1; i <= count; ++i)
        controls.append({QStringLiteral("Lost%1").arg(i), QStringLiteral("!GO Lost%1").arg(i)});
    return controls;
}

QPointF centreOf(const DiagramFixture& diagram, qint16 key)
{
    const CanvasEntity* entity = diagram.view.Canvas().Entity(key);
    return entity ? entity->centre : QPointF(-99999, -99999);
}

// The walk exactly as first written, one call per level, for trees small enough for the stack.
struct RecursiveLevels {
    const CmDecisionManager& decisions;
    QHash<QString, int> level;
    QSet<QString> found;
    QSet<QString> visited;
    int current = 0;

    QString keyOf(const QString& name) const { return decisions.GetKey(QVariant(name)); }

    QStringList known(const QStringList& names) const
    {
        QStringList keys;
        for (const QString& name : names) {
            if (!name.trimmed().isEmpty() && decisions.Exists(name.trimmed()))
                keys.append(keyOf(name.trimmed()));
        }
        return keys;
    }

    void place(const QStringList& keys)
    {
        for (const QString& key : keys) {
            if (!found.contains(key)) {
                found.insert(key);
                level[key] = current;
            }
        }
    }

    void visit(const QString& key)
    {
        visited.insert(key);
        const CmDecisionItem* item = decisions.Item(key);
        const QStringList siblings = known(item->Group());
        place(siblings);
        for (const QString& sibling : siblings) {
            if (!visited.contains(sibling))
                visit(sibling);
        }
        ++current;
        const QStringList children = known(MDecisionDataUtil::GetLinkTargets(*item, decisions));
        place(children);
        for (const QString& child : children) {
            if (!visited.contains(child)) {
                visit(child);
                --current;
            }
        }
    }
};

} // namespace

class TestAutoLayout : public QObject {
    Q_OBJECT

private slots:
    void oneControlSitsAtHalfAStep()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Only"));
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        // A medium box (92 by 36) with its top and left at the margin.
        QCOMPARE(centreOf(diagram, 1), QPointF(66, -38));
    }

    void threeChildrenShareOneRow()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Root"), QStringLiteral("^a|!GO A|^b|!GO B|^c|!GO C"));
        diagram.add(2, QStringLiteral("A"), QStringLiteral("!GO A"));
        diagram.add(3, QStringLiteral("B"), QStringLiteral("!GO B"));
        diagram.add(4, QStringLiteral("C"), QStringLiteral("!GO C"));
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        // Rows are 225 apart, boxes in a row too; the row lies evenly around the first control.
        QCOMPARE(centreOf(diagram, 1), QPointF(290, -38));
        QCOMPARE(centreOf(diagram, 2), QPointF(516, -263));
        QCOMPARE(centreOf(diagram, 3), QPointF(290, -263));
        QCOMPARE(centreOf(diagram, 4), QPointF(66, -263));
    }

    // What the author reads as top and left: no generated box lies above or left of the origin,
    // and the topmost and the leftmost stand at the margin, whatever the tree's shape.
    void generatedBoxesHaveNoNegativeTopOrLeft_data()
    {
        QTest::addColumn<Controls>("controls");
        QTest::addColumn<int>("sizeKind");
        QTest::newRow("one control") << Controls{{QStringLiteral("Only")}} << 1;
        QTest::newRow("wide row") << wideRow(QStringLiteral("Root"), 9) << 1;
        QTest::newRow("unreached controls")
            << Controls{{QStringLiteral("Root"), QStringLiteral("!GO A")}, {QStringLiteral("A")}} + unreached(5) << 1;
        QTest::newRow("displayed with the first")
            << Controls{{QStringLiteral("Root"), QStringLiteral("!GO C"), QStringLiteral("A|B")},
                        {QStringLiteral("A")}, {QStringLiteral("B")}, {QStringLiteral("C")}}
            << 1;
        QTest::newRow("wide and unreached, small boxes") << wideRow(QStringLiteral("Root"), 12) + unreached(7) << 0;
        QTest::newRow("wide and unreached, large boxes") << wideRow(QStringLiteral("Root"), 12) + unreached(7) << 2;
        QTest::newRow("fifty, the smaller unit") << wideRow(QStringLiteral("Root"), 40) + unreached(9) << 1;
    }
    void generatedBoxesHaveNoNegativeTopOrLeft()
    {
        QFETCH(Controls, controls);
        QFETCH(int, sizeKind);
        DiagramFixture diagram;
        for (qsizetype i = 0; i < controls.size(); ++i)
            diagram.add(qint16(i + 1), controls.at(i).value(0), controls.at(i).value(1), controls.at(i).value(2));
        diagram.view.Canvas().setEntitySizeKind(sizeKind);
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        const DiagramPropertyOwner owner(diagram.view.Canvas());
        double top = std::numeric_limits<double>::max();
        double left = std::numeric_limits<double>::max();
        for (int i = 1; i <= diagram.decisions.Count(); ++i) {
            const CmDecisionItem& item = *diagram.decisions.ItemByIndex(i);
            const QString topText = owner.OwnedProperty(item, MDecisionDataUtil::TopLabel);
            const QString leftText = owner.OwnedProperty(item, MDecisionDataUtil::LeftLabel);
            QVERIFY2(!topText.startsWith(QLatin1Char('-')) && !leftText.startsWith(QLatin1Char('-')),
                     qPrintable(QStringLiteral("%1 at top %2, left %3").arg(item.strID(), topText, leftText)));
            top = std::min(top, topText.toDouble());
            left = std::min(left, leftText.toDouble());
        }
        QCOMPARE(top, AutoLayout::Margin);
        QCOMPARE(left, AutoLayout::Margin);
    }

    void fiftyControlsUseTheSmallerUnit()
    {
        QCOMPARE(AutoLayout::SpacingUnit(49), 75);
        QCOMPARE(AutoLayout::SpacingUnit(50), 50);
        DiagramFixture diagram;
        for (qint16 i = 1; i <= 50; ++i)
            diagram.add(i, QStringLiteral("C%1").arg(i), i < 50 ? QStringLiteral("!GO C%1").arg(i + 1) : QString());
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        QCOMPARE(centreOf(diagram, 1), QPointF(66, -38));
        QCOMPARE(centreOf(diagram, 2), QPointF(66, -188));
        QCOMPARE(centreOf(diagram, 50), QPointF(66, -150 * 49 - 38));
    }

    void firstPlacementKeepsItsLevel()
    {
        DiagramFixture diagram;
        // B is displayed with A (level 1) and also a child of A (would be level 2).
        diagram.add(1, QStringLiteral("Root"), QStringLiteral("!GO A"));
        diagram.add(2, QStringLiteral("A"), QStringLiteral("!GO B"), QStringLiteral("B"));
        diagram.add(3, QStringLiteral("B"), QStringLiteral("!GO Root"));
        CmBreadthFirstSearch search(diagram.decisions);
        for (const char* key : {"ROOT", "A", "B"})
            search.add(QString::fromLatin1(key));
        search.Search();
        QCOMPARE(search.Item(QStringLiteral("b"))->level, qint16(1));
        QCOMPARE(search.ItemsAtDepth(1), qint16(2));
        QCOMPARE(search.Item(2)->level, qint16(1));
    }

    void unreachedControlsGetARowOfTheirOwn()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Root"), QStringLiteral("!GO A"));
        diagram.add(2, QStringLiteral("A"), QStringLiteral("!GO A"));
        diagram.add(3, QStringLiteral("Lost1"), QStringLiteral("!GO Lost1"));
        diagram.add(4, QStringLiteral("Lost2"), QStringLiteral("!GO Lost2"));
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        // The unreached row lies above the first control's.
        QCOMPARE(centreOf(diagram, 1), QPointF(290, -263));
        QCOMPARE(centreOf(diagram, 2), QPointF(290, -488));
        QCOMPARE(centreOf(diagram, 3), QPointF(290, -38));
        QCOMPARE(centreOf(diagram, 4), QPointF(66, -38));
    }

    void iterativeWalkMatchesTheRecursiveOne()
    {
        QRandomGenerator random(20261206);
        for (int round = 0; round < 12; ++round) {
            DiagramFixture diagram;
            const int count = 30;
            for (int i = 1; i <= count; ++i) {
                QStringList lines;
                const int goes = int(random.bounded(3));
                for (int g = 0; g < goes; ++g)
                    lines << QStringLiteral("^o%1").arg(g) << QStringLiteral("!GO N%1").arg(random.bounded(1, count + 1));
                QStringList group;
                if (random.bounded(4) == 0)
                    group << QStringLiteral("N%1").arg(random.bounded(1, count + 1));
                diagram.add(qint16(i), QStringLiteral("N%1").arg(i), lines.join(QLatin1Char('|')),
                            group.join(QLatin1Char('|')));
            }
            CmBreadthFirstSearch search(diagram.decisions);
            for (int i = 1; i <= count; ++i)
                search.add(QStringLiteral("N%1").arg(i).toUpper());
            search.Search();
            RecursiveLevels reference{diagram.decisions, {}, {}, {}, 0};
            reference.found.insert(QStringLiteral("N1"));
            reference.level[QStringLiteral("N1")] = 0;
            reference.visit(QStringLiteral("N1"));
            for (int i = 1; i <= count; ++i) {
                const QString key = QStringLiteral("N%1").arg(i);
                QCOMPARE(search.Item(key)->found, reference.found.contains(key));
                QCOMPARE(int(search.Item(key)->level), reference.level.value(key, 0));
            }
        }
    }

    void chainOfThirtyThousandControls()
    {
        DiagramFixture diagram;
        const int count = 30000;
        for (int i = 1; i <= count; ++i)
            diagram.add(qint16(i), QStringLiteral("C%1").arg(i), i < count ? QStringLiteral("!GO C%1").arg(i + 1) : QString());
        AutoLayout::LayOut(diagram.view.Canvas(), diagram.decisions);
        QCOMPARE(centreOf(diagram, 1), QPointF(66, -38));
        QCOMPARE(centreOf(diagram, qint16(count)), QPointF(66, -150.0 * (count - 1) - 38));
        QCOMPARE(diagram.view.Canvas().LinksFrom(qint16(count - 1)), QList<qint16>{qint16(count)});
    }

    // Every place comes back exactly: twelve digits, signs, fractions and exponents.
    void layoutTextReadsBackWhatItWrote()
    {
        DiagramFixture diagram;
        const QList<QPointF> places{{-40, 70}, {400.5, -3}, {0.1, 1e-7}, {123456789012.0, -2.5e13}};
        for (int i = 0; i < places.size(); ++i) {
            diagram.add(qint16(i + 1), QStringLiteral("C%1").arg(i + 1));
            diagram.view.Canvas().MoveEntity(qint16(i + 1), places.at(i));
        }
        const auto layout = CanvasModel::ParseLayoutText(diagram.view.Canvas().LayoutText());
        QVERIFY(layout);
        QCOMPARE(layout->size(), size_t(places.size()));
        for (int i = 0; i < places.size(); ++i)
            QCOMPARE(layout->at(qint16(i + 1)).topLeft(), places.at(i));
    }

    void storedLayoutComesBackAndBadOneIsRebuilt_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("used");
        QTest::newRow("missing") << QString() << false;
        QTest::newRow("foreign") << QStringLiteral("<layout/>") << false;
        QTest::newRow("broken line") << QStringLiteral("KvDiagram\t1\n1\t5\n") << false;
        QTest::newRow("no number") << QStringLiteral("KvDiagram\t1\nx\t1\t2\t3\t4\n") << false;
        QTest::newRow("one field too many") << QStringLiteral("KvDiagram\t1\n1\t1\t2\t3\t4\t5\n") << false;
        QTest::newRow("key out of range") << QStringLiteral("KvDiagram\t1\n40000\t1\t2\t3\t4\n") << false;
        QTest::newRow("endless size") << QStringLiteral("KvDiagram\t1\n1\t1\t2\tinf\t4\n") << false;
        QTest::newRow("digits of another script") << QStringLiteral("KvDiagram\t1\n1\t\u0661\t2\t3\t4\n") << false;
        QTest::newRow("stored") << QString() << true;
    }
    void storedLayoutComesBackAndBadOneIsRebuilt()
    {
        QFETCH(QString, stored);
        QFETCH(bool, used);
        DiagramFixture first;
        first.add(1, QStringLiteral("Root"), QStringLiteral("!GO A"));
        first.add(2, QStringLiteral("A"));
        first.view.Canvas().MoveEntity(1, QPointF(-40, 70));
        first.view.Canvas().MoveEntity(2, QPointF(400.5, -3));
        const QString text = used ? first.view.Canvas().LayoutText() : stored;

        DiagramFixture second;
        second.add(1, QStringLiteral("Root"), QStringLiteral("!GO A"));
        second.add(2, QStringLiteral("A"));
        QCOMPARE(DiagramStore::Restore(text, second.view.Canvas(), second.decisions), used);
        // A stored place above and left of the origin is kept as it was written.
        QCOMPARE(centreOf(second, 1), used ? QPointF(-40, 70) : QPointF(66, -38));
        QCOMPARE(centreOf(second, 2), used ? QPointF(400.5, -3) : QPointF(66, -263));
        QCOMPARE(second.view.Canvas().LinksFrom(1), QList<qint16>{2});
        // Placing on open is not an edit.
        QVERIFY(second.recorded.commands.empty());
    }
};

KV_REGISTER_TEST(TestAutoLayout)
#include "tst_AutoLayout.moc"
