#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"
#include "edit/UndoProject.h"

#include "edit/CanvasModel.h"
#include "edit/DiagramPropertyOwner.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"

#include <QTest>

using namespace MDecisionDataUtil;

// Where new boxes stand as the author reads their top and left: never above or left of the origin.
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

    void pastedControlsLandRightOfAndBelowTheOrigin()
    {
        DiagramFixture diagram;
        const DiagramPropertyOwner owner(diagram.view.Canvas());
        diagram.add(1, QStringLiteral("Start"));
        diagram.tree.SelectDecision(QStringLiteral("Start"));
        diagram.tree.CopyEntity();
        diagram.view.Canvas().ClickAt(QPointF(-300, 200));
        diagram.tree.PasteEntity();
        const CmDecisionItem* pasted = diagram.decisions.Item(2);
        QVERIFY(pasted);
        QCOMPARE(owner.OwnedProperty(*pasted, TopLabel), QStringLiteral("0"));
        QCOMPARE(owner.OwnedProperty(*pasted, LeftLabel), QStringLiteral("0"));
    }

    // A project stored before boxes were kept from the origin may hold one above it: deleted and
    // put back by undo, it returns exactly where it stood.
    void undoPutsABoxBackWhereItStood()
    {
        UndoProject p;
        p.addControls(3);
        CanvasModel& canvas = p.view.Canvas();
        canvas.ApplyLayout({{qint16(2), QRectF(-140, 75, 0, 0)}});
        QVERIFY(canvas.DeleteEntity(2));
        p.undo.UndoCommand();
        QVERIFY(canvas.Entity(2));
        QCOMPARE(canvas.Entity(2)->centre, QPointF(-140, 75));
    }
};

KV_REGISTER_TEST(TestBoxPlaces)
#include "tst_BoxPlaces.moc"
