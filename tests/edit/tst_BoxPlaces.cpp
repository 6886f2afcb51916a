#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"

#include "edit/CanvasModel.h"
#include "edit/DiagramPropertyOwner.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"

#include <QTest>

using namespace MDecisionDataUtil;

// Where boxes stand as the author reads their top and left: a new control never lands above or
// left of the origin, and neither can be typed below 0.
class TestBoxPlaces : public QObject {
    Q_OBJECT

private slots:
    void newControlsLandRightOfAndBelowTheOrigin_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        // A medium box is 92 by 36; canvas y grows upwards.
        QTest::newRow("above and left") << QPointF(-300, 200) << "0" << "0";
        QTest::newRow("above") << QPointF(500, 40) << "0" << "454";
        QTest::newRow("left") << QPointF(-10, -500) << "482" << "0";
        QTest::newRow("centred on the origin") << QPointF(0, 0) << "0" << "0";
        QTest::newRow("touching the origin") << QPointF(46, -18) << "0" << "0";
        QTest::newRow("inside") << QPointF(200, -100) << "82" << "154";
    }
    void newControlsLandRightOfAndBelowTheOrigin()
    {
        QFETCH(QPointF, centre);
        QFETCH(QString, top);
        QFETCH(QString, left);
        DiagramFixture diagram;
        const DiagramPropertyOwner owner(diagram.view.Canvas());
        // A first control elsewhere: the second is the one the author draws onto a tree.
        QVERIFY(diagram.tree.AddNew(QPointF(400, -400), 1));
        const CmDecisionItem* added = diagram.tree.AddNew(centre, 1);
        QVERIFY(added);
        QCOMPARE(owner.OwnedProperty(*added, TopLabel), top);
        QCOMPARE(owner.OwnedProperty(*added, LeftLabel), left);
    }

    void topAndLeftBelowZeroAreRefused_data()
    {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("taken");
        // What the author reads afterwards.
        QTest::addColumn<QString>("shown");
        QTest::newRow("top negative") << +TopLabel << "-80" << false << "82";
        QTest::newRow("left just below zero") << +LeftLabel << "-0.01" << false << "154";
        QTest::newRow("top zero") << +TopLabel << "0" << true << "0";
        QTest::newRow("left zero typed with a sign") << +LeftLabel << "-0" << true << "0";
        QTest::newRow("top with a fraction") << +TopLabel << "12.5" << true << "12.5";
        QTest::newRow("left far right") << +LeftLabel << "30000" << true << "30000";
    }
    void topAndLeftBelowZeroAreRefused()
    {
        QFETCH(int, label);
        QFETCH(QString, value);
        QFETCH(bool, taken);
        QFETCH(QString, shown);
        DiagramFixture diagram;
        DiagramPropertyOwner owner(diagram.view.Canvas());
        CmDecisionItem* item = diagram.tree.AddNew(QPointF(200, -100), 1);
        QVERIFY(item);
        const QPointF before = diagram.view.Canvas().Entity(item->intID())->centre;
        QCOMPARE(owner.SetOwnedProperty(*item, label, value), taken);
        QCOMPARE(owner.OwnedProperty(*item, label), shown);
        if (!taken)
            QCOMPARE(diagram.view.Canvas().Entity(item->intID())->centre, before);
    }
};

KV_REGISTER_TEST(TestBoxPlaces)
#include "tst_BoxPlaces.moc"
