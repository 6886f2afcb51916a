#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "views/DiagramWindow.h"

#include <QGraphicsItem>
#include <QTest>

namespace {

class AlwaysLink : public ILinkDialog {
public:
    LinkAnswer AskLink(const CmDecisionItem&, const LinkPreferences&) override
    {
        ++asked;
        return {cancel, QString(), QString()};
    }
    int asked = 0;
    bool cancel = false;
};

struct Window {
    CmDecisionManager decisions;
    ScriptedPrompt prompt;
    CvDecisionTree view{decisions, prompt};
    CcDecisionTree tree{view, prompt};
    AlwaysLink dialog;
    DiagramSettings settings;
    DiagramWindow window{tree, settings};

    Window()
    {
        view.setLinkDialog(&dialog);
        window.resize(800, 600);
        window.show();
        window.centerOn(0, 0);
    }
    QPoint at(QPointF canvasPoint) const { return window.mapFromScene(DiagramWindow::toScene(canvasPoint)); }
    QPoint centreOf(qint16 key) const { return at(view.Canvas().Entity(key)->centre); }
};

} // namespace

class TestDiagramWindow : public QObject {
    Q_OBJECT

private slots:
    void addTwoControlsAndLinkThem()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.setControlTool(1130);
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(-160, 96)));
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(160, -96)));
        QCOMPARE(w.decisions.Count(), 2);
        QCOMPARE(w.decisions.ItemByIndex(2)->strID(), QStringLiteral("Control2"));
        QCOMPARE(w.decisions.ItemByIndex(2)->intControl(), qint16(MDecisionDataUtil::Check));
        // Snapped to the grid.
        QCOMPARE(w.view.Canvas().Entity(1)->centre, QPointF(-160, 96));

        w.window.setTool(DiagramWindow::Tool::AddLink);
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(1));
        QTest::mouseMove(w.window.viewport(), w.centreOf(2));
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(2));
        QCOMPARE(w.dialog.asked, 1);
        QCOMPARE(w.decisions.ItemByIndex(1)->OptsAndActs().first(), QStringLiteral("!GO Control2"));
        QCOMPARE(w.view.Canvas().LinksFrom(1), QList<qint16>{2});

        // A cancelled link leaves nothing drawn.
        w.dialog.cancel = true;
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(2));
        QTest::mouseMove(w.window.viewport(), w.centreOf(1));
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(1));
        QCOMPARE(w.dialog.asked, 2);
        QVERIFY(!w.decisions.ItemByIndex(2)->OptsAndActs().contains(QStringLiteral("!GO Control1")));
    }

    void selectDragAndDelete()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.tree.AddNew(QPointF(0, 0), 1);
        w.tree.AddNew(QPointF(200, 0), 1);
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(2));
        QCOMPARE(w.decisions.Selected(), w.decisions.ItemByIndex(2));
        QVERIFY(w.view.Canvas().IsSelected(2));
        const QPoint from = w.centreOf(2);
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(w.window.viewport(), from + QPoint(20, 40));
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, from + QPoint(20, 40));
        QVERIFY(w.view.Canvas().Entity(2)->centre != QPointF(200, 0));
        QTest::keyClick(&w.window, Qt::Key_Delete);
        QCOMPARE(w.decisions.Count(), 1);
        // The first control stays.
        w.tree.SelectDecision(1);
        QTest::keyClick(&w.window, Qt::Key_Delete);
        QCOMPARE(w.decisions.Count(), 1);
        QCOMPARE(w.prompt.shownTexts().size(), 1);
    }
};

KV_REGISTER_TEST(TestDiagramWindow)
#include "tst_DiagramWindow.moc"
