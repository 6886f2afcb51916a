#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/CommandBand.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "edit/DiagramPropertyOwner.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "views/CommandBars.h"
#include "views/ControlSelectorBox.h"
#include "views/DiagramHost.h"
#include "views/DiagramScene.h"
#include "views/DiagramThumbnail.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"
#include "tests/views/RunningDesigner.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGraphicsItem>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <cmath>

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
    // The first point and the bends of the links drawn from the control, without arrow heads.
    QList<QPointF> linkPointsOf(qint16 key) const
    {
        const QPainterPath path = window.diagramScene()->linksOf(key);
        QList<QPointF> points;
        for (int i = 0; i < path.elementCount(); ++i) {
            // The head begins with the second move.
            if (i > 0 && path.elementAt(i).isMoveTo())
                break;
            points.append(path.elementAt(i));
        }
        return points;
    }
};

// The Designer with its main window shown.
struct Designer : RunningDesigner {
    Designer()
    {
        main().resize(1000, 700);
        main().show();
    }

    MainWindow& main() const { return *windows.mainWindow(); }
    QAction* action(int id) const { return main().commandBars().action(id); }
    DiagramWindow* openDiagram() const
    {
        action(+ToolId::OpenDecisionTree)->trigger();
        return main().findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree"));
    }
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
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(160, -96)));
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(320, -224)));
        QCOMPARE(w.decisions.Count(), 2);
        QCOMPARE(w.decisions.ItemByIndex(2)->strID(), QStringLiteral("Control2"));
        QCOMPARE(w.decisions.ItemByIndex(2)->intControl(), qint16(MDecisionDataUtil::Check));
        // Snapped to the grid.
        QCOMPARE(w.view.Canvas().Entity(1)->centre, QPointF(160, -96));

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

    // The diagram stays put while it grows: each control lands under the pointer that placed
    // it, also after the ones before it, and the first stays where it was put.
    void addedControlsLandWhereClicked()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        // Every click right of and below the origin, where a box may stand.
        w.window.centerOn(400, 300);
        w.window.setControlTool(1130);
        const QList<QPoint> clicks{{400, 300}, {700, 80}, {60, 540}, {420, 320}};
        for (qsizetype i = 0; i < clicks.size(); ++i) {
            QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, clicks.at(i));
            QCOMPARE(w.decisions.Count(), int(i + 1));
            // Each drawn control is the one selected, ready for its properties.
            QCOMPARE(w.view.Canvas().SelectedKeys(), QList<qint16>{qint16(i + 1)});
            for (qsizetype j = 0; j <= i; ++j) {
                const QPoint offset = w.centreOf(qint16(j + 1)) - clicks.at(j);
                QVERIFY2(offset.manhattanLength() <= 2 * 16,
                         qPrintable(QStringLiteral("control %1 is %2,%3 from its click").arg(j + 1).arg(offset.x()).arg(offset.y())));
            }
        }
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
        const QPointF placed = w.view.Canvas().Entity(2)->centre;
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(w.window.viewport(), from + QPoint(20, 40));
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, from + QPoint(20, 40));
        QVERIFY(w.view.Canvas().Entity(2)->centre != placed);
        QTest::keyClick(&w.window, Qt::Key_Delete);
        QCOMPARE(w.decisions.Count(), 1);
        // The first control stays.
        w.tree.SelectDecision(1);
        QTest::keyClick(&w.window, Qt::Key_Delete);
        QCOMPARE(w.decisions.Count(), 1);
        QCOMPARE(w.prompt.shownTexts().size(), 1);
    }

    // A box dragged past the origin stops there: the top, the left or both read 0 afterwards.
    void dragStopsAtTheOrigin_data()
    {
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        // The medium box starts with its top at 78 and its left at 114; one pixel is one unit.
        QTest::newRow("up and left") << QPoint(-496, -384) << "0" << "0";
        QTest::newRow("up") << QPoint(16, -384) << "0" << "130";
        QTest::newRow("left") << QPoint(-496, 32) << "110" << "0";
        QTest::newRow("short of it") << QPoint(-64, -32) << "46" << "50";
    }
    void dragStopsAtTheOrigin()
    {
        QFETCH(QPoint, drag);
        QFETCH(QString, top);
        QFETCH(QString, left);
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        const CmDecisionItem* item = w.tree.AddNew(QPointF(160, -96), 1);
        QVERIFY(item);
        const DiagramPropertyOwner owner(w.view.Canvas());
        const QPoint from = w.centreOf(item->intID());
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(w.window.viewport(), from + drag / 2);
        QTest::mouseMove(w.window.viewport(), from + drag);
        // While dragged, the box on the screen stops too: the scene's top and left are the author's.
        const QRectF dragged = w.window.scene()->itemsBoundingRect().adjusted(2, 2, -2, -2);
        QCOMPARE(dragged.topLeft(), QPointF(left.toDouble(), top.toDouble()));
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, from + drag);
        QCOMPARE(owner.OwnedProperty(*item, MDecisionDataUtil::TopLabel), top);
        QCOMPARE(owner.OwnedProperty(*item, MDecisionDataUtil::LeftLabel), left);
    }

    // The add tool clicked above and left of the origin puts the box in the corner.
    void addToolKeepsTheBoxBelowTheOrigin()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.setControlTool(1130);
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(-160, 96)));
        QCOMPARE(w.decisions.Count(), 1);
        const DiagramPropertyOwner owner(w.view.Canvas());
        QCOMPARE(owner.OwnedProperty(*w.decisions.ItemByIndex(1), MDecisionDataUtil::TopLabel), QStringLiteral("0"));
        QCOMPARE(owner.OwnedProperty(*w.decisions.ItemByIndex(1), MDecisionDataUtil::LeftLabel), QStringLiteral("0"));
    }

    void zoomWindowShowsTheFramedPart()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.tree.AddNew(QPointF(0, 0), 1);
        w.tree.AddNew(QPointF(160, 0), 1);
        w.window.zoomExtents();
        const double before = w.window.transform().m11();
        w.window.setTool(DiagramWindow::Tool::ZoomWindow);
        const QPoint centre = w.centreOf(2);
        const QPoint corner(40, 30);
        QTest::mousePress(w.window.viewport(), Qt::LeftButton, {}, centre - corner);
        QTest::mouseMove(w.window.viewport(), centre + corner);
        QTest::mouseRelease(w.window.viewport(), Qt::LeftButton, {}, centre + corner);
        QVERIFY(w.window.transform().m11() > before * 2);
        const QRectF visible = w.window.visibleArea();
        QVERIFY(visible.contains(DiagramWindow::toScene(QPointF(160, 0))));
        QVERIFY(!visible.contains(DiagramWindow::toScene(QPointF(0, 0))));
        // The view before the frame comes back.
        w.window.restoreView();
        QVERIFY(w.window.visibleArea().contains(DiagramWindow::toScene(QPointF(0, 0))));
        // A click without a frame zooms in where it was made; nothing is added or selected.
        const double framed = w.window.transform().m11();
        QTest::mouseClick(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(1));
        QVERIFY(w.window.transform().m11() > framed);
        QCOMPARE(w.decisions.Count(), 2);
    }

    void lineStylesDrawLinksDifferently_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QList<QPointF>>("expected");
        // Control1 at (100, -100), Control2 at (420, -260) on the canvas: lower right on the screen.
        QTest::newRow("straight") << 1150 << QList<QPointF>{{100, 100}, {420, 260}};
        QTest::newRow("across, then down") << 1151 << QList<QPointF>{{100, 100}, {420, 100}, {420, 260}};
        QTest::newRow("down, then across") << 1152 << QList<QPointF>{{100, 100}, {100, 260}, {420, 260}};
    }

    void lineStylesDrawLinksDifferently()
    {
        QFETCH(int, tool);
        QFETCH(QList<QPointF>, expected);
        Window w;
        w.tree.AddNew(QPointF(100, -100), 1);
        w.tree.AddNew(QPointF(420, -260), 1);
        w.decisions.ItemByIndex(1)->setOptsAndActs({QStringLiteral("!GO Control2")});
        w.window.redrawLinks();
        w.window.setLineStyle(tool);
        QCOMPARE(w.window.settings().LineStyle, tool - 1150);
        const QList<QPointF> points = w.linkPointsOf(1);
        QCOMPARE(points.size(), expected.size());
        // The ends lie on the boxes' borders; the bends are exact.
        const QSizeF box = w.view.Canvas().EntitySize();
        for (qsizetype i = 0; i < points.size(); ++i) {
            QVERIFY2(std::abs(points[i].x() - expected[i].x()) <= box.width() / 2
                         && std::abs(points[i].y() - expected[i].y()) <= box.height() / 2,
                     qPrintable(QStringLiteral("%1: %2,%3").arg(i).arg(points[i].x()).arg(points[i].y())));
            if (i > 0 && i + 1 < points.size())
                QCOMPARE(points[i], expected[i]);
        }
    }

    // Each link is labelled with the option it belongs to, beside its first stretch; a link that
    // no option leads to (the fall-through) carries none, and an edit relabels.
    // Zoomed far out a box's frame is the colour of its mark, so the selection shows in its fill.
    void aMarkedBoxShowsItsSelectionZoomedOut()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.tree.AddNew(QPointF(300, -300), 1);
        w.tree.AddNew(QPointF(800, -300), 1);
        w.window.setMark(2, DiagramWindow::Mark::Error);
        w.window.setTransform(QTransform::fromScale(0.25, 0.25));
        w.window.centerOn(DiagramWindow::toScene(QPointF(800, -300)));
        w.tree.SelectDecision(1);
        const auto centreColour = [&w] {
            QApplication::processEvents();
            return w.window.viewport()->grab().toImage().pixelColor(w.centreOf(2));
        };
        const QColor unselected = centreColour();
        w.tree.SelectDecision(2);
        QVERIFY(w.view.Canvas().IsSelected(2));
        QVERIFY2(centreColour() != unselected, qPrintable(unselected.name()));
    }

    void linksAreLabelledWithTheirOptions()
    {
        Window w;
        for (const QPointF at : {QPointF(400, -100), QPointF(100, -300), QPointF(700, -300), QPointF(400, -500)})
            w.tree.AddNew(at, 1);
        CmDecisionItem& first = *w.decisions.ItemByIndex(1);
        first.setOptsAndActs({QStringLiteral("^Yes, please"), QStringLiteral("!GO control2"), QStringLiteral("^No"),
                              QStringLiteral("!IF [[Control1]] = \"No\""), QStringLiteral("!GO Control3"),
                              QStringLiteral("!ENDIF"), QStringLiteral("^A very long answer that goes on and on"),
                              QStringLiteral("!GO Control4"), QStringLiteral("^Again"), QStringLiteral("!GO Control2")});
        w.window.redrawLinks();
        const auto texts = [&w](qint16 key) {
            QStringList found;
            for (const DiagramLinks::Label& label : w.window.diagramScene()->linkLabelsOf(key))
                found.append(label.text);
            return found;
        };
        QCOMPARE(texts(1), (QStringList{QStringLiteral("Yes, please"), QStringLiteral("No"),
                                        QStringLiteral("A very long answer that goe") + QChar(0x2026)}));
        const QPointF start = w.linkPointsOf(1).value(0);
        const QRectF beside = w.window.diagramScene()->linkLabelsOf(1).front().box;
        QVERIFY2(QLineF(beside.center(), start).length() < 200, qPrintable(QStringLiteral("%1,%2").arg(beside.x()).arg(beside.y())));

        first.setOptsAndActs({QStringLiteral("^Maybe"), QStringLiteral("!GO Control3")});
        w.window.redrawLinks();
        QCOMPARE(texts(1), QStringList{QStringLiteral("Maybe")});
    }

    void doubleAndRightClicksOnControls()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.tree.AddNew(QPointF(0, 0), 1);
        w.tree.AddNew(QPointF(200, 0), 1);
        QSignalSpy properties(&w.window, &DiagramWindow::propertiesRequested);
        QSignalSpy popup(&w.window, &DiagramWindow::contextMenuRequested);
        QTest::mouseDClick(w.window.viewport(), Qt::LeftButton, {}, w.centreOf(2));
        QTest::mouseDClick(w.window.viewport(), Qt::LeftButton, {}, w.at(QPointF(100, 200)));
        QCOMPARE(properties.count(), 1);
        QCOMPARE(properties.at(0).at(0).value<qint16>(), qint16(2));

        QContextMenuEvent onControl(QContextMenuEvent::Mouse, w.centreOf(1), w.window.viewport()->mapToGlobal(w.centreOf(1)));
        QApplication::sendEvent(w.window.viewport(), &onControl);
        QCOMPARE(popup.count(), 1);
        QCOMPARE(popup.at(0).at(0).value<qint16>(), qint16(1));
        QCOMPARE(w.decisions.Selected(), w.decisions.ItemByIndex(1));
    }

    void thumbnailFramesAndMovesTheDiagram()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        for (int i = 0; i < 6; ++i)
            w.tree.AddNew(QPointF(i * 800, -i * 600), 1);
        w.window.zoom100();
        w.window.resetTransform();
        DiagramThumbnail thumbnail(w.window);
        thumbnail.resize(300, 200);
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        const QPointF last = DiagramWindow::toScene(QPointF(4000, -3000));
        const QPoint onLast = thumbnail.fromScene(last).toPoint();
        QVERIFY(thumbnail.rect().contains(onLast));
        QTest::mouseClick(&thumbnail, Qt::LeftButton, {}, onLast);
        QVERIFY(w.window.visibleArea().contains(last));
        QCOMPARE(thumbnail.visibleArea(), w.window.visibleArea());
        // Dragging pans along.
        const QPointF third = DiagramWindow::toScene(QPointF(1600, -1200));
        QTest::mousePress(&thumbnail, Qt::LeftButton, {}, onLast);
        QTest::mouseMove(&thumbnail, thumbnail.fromScene(third).toPoint());
        QVERIFY(w.window.visibleArea().contains(third));
        QVERIFY(!w.window.visibleArea().contains(last));
        QTest::mouseRelease(&thumbnail, Qt::LeftButton, {}, thumbnail.fromScene(third).toPoint());
    }

    void controlSelectorFollowsTheControls()
    {
        Window w;
        w.tree.AddNew(QPointF(0, 0), 1);
        w.tree.AddNew(QPointF(200, 0), 1);
        ControlSelectorBox selector(w.decisions);
        QSignalSpy chosen(&selector, &ControlSelectorBox::controlChosen);
        QCOMPARE(selector.count(), 2);
        w.tree.AddNew(QPointF(400, 0), 1);
        QVERIFY(w.tree.Rename(QStringLiteral("Control2"), QStringLiteral("Price"), 2));
        QCOMPARE(selector.itemText(1), QStringLiteral("Price"));
        w.tree.SelectDecision(3);
        QCOMPARE(selector.currentText(), QStringLiteral("Control3"));
        w.tree.Remove(3);
        QCOMPARE(selector.count(), 2);
        emit selector.activated(1);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<qint16>(), qint16(2));
    }
};

KV_REGISTER_TEST(TestDiagramWindow)

// The diagram inside the Designer: its tools, the thumbnail dock, the popup and the selector.
class TestDiagramInDesigner : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    void toolsCheckTheirChoiceAndKeepTheSettings()
    {
        Designer designer;
        QVERIFY(designer.openDiagram());
        QVERIFY(designer.action(+ToolId::SelectControl)->isChecked());
        designer.action(+ToolId::ZoomIn)->trigger();
        QVERIFY(designer.action(+ToolId::ZoomIn)->isChecked());
        QVERIFY(designer.action(+ToolId::ViewZoomIn)->isChecked());
        QVERIFY(!designer.action(+ToolId::SelectControl)->isChecked());
        designer.action(+ToolId::OrthogonalVerticalLines)->trigger();
        QVERIFY(designer.action(+ToolId::OrthogonalVerticalLines)->isChecked());
        QVERIFY(!designer.action(+ToolId::StraightLines)->isChecked());
        QCOMPARE(gApp->View().Settings().Diagram.LineStyle, int(DiagramSettings::OrthogonalVertical));
        // Draw Group has no operation and is offered nowhere.
        QVERIFY(!designer.action(+ToolId::DrawGroup));
    }

    void thumbnailDockFollowsItsBand()
    {
        Designer designer;
        auto* dock = designer.main().findChild<QDockWidget*>(QStringLiteral("barThumbNail"));
        QVERIFY(dock);
        QVERIFY(dock->isHidden());
        CommandBand* band = gApp->View().Band(QStringLiteral("barThumbNail"));
        band->setVisible(true);
        QVERIFY(!dock->isHidden());
        QVERIFY(designer.openDiagram());
        QVERIFY(qobject_cast<DiagramThumbnail*>(dock->widget()));
        dock->close();
        QVERIFY(!band->Visible());
    }

    void rightClickOnAControlPopsUpItsMenu()
    {
        Designer designer;
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(&designer.main()));
        const CmDecisionItem* item = gApp->Controller().DecisionTree().AddNew(QPointF(200, -100), 1);
        QVERIFY(item);
        window->centerOn(DiagramWindow::toScene(QPointF(200, -100)));
        const QPoint centre = window->mapFromScene(DiagramWindow::toScene(QPointF(200, -100)));
        QContextMenuEvent event(QContextMenuEvent::Mouse, centre, window->viewport()->mapToGlobal(centre));
        QApplication::sendEvent(window->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuDTEntityPopup"));
        QVERIFY(designer.action(+ToolId::Copy)->isEnabled());
        menu->close();
    }

    void f2RenamesTheSelectedControl()
    {
        Designer designer;
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        CmDecisionItem* item = gApp->Controller().DecisionTree().AddNew(QPointF(0, 0), 1);
        QVERIFY(item);
        const QString oldName = item->strID();
        gApp->Controller().DecisionTree().SelectDecision(item->intID());
        designer.prompt.QueueText(std::nullopt);
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(item->strID(), oldName);
        designer.prompt.QueueText(QStringLiteral("Price"));
        QTest::keyClick(window, Qt::Key_F2);
        QCOMPARE(item->strID(), QStringLiteral("Price"));
        QCOMPARE(gApp->Controller().DiagramView().Canvas().Entity(item->intID())->caption, QStringLiteral("Price"));
    }

    void controlSelectorOnTheToolbarShowsTheChoice()
    {
        Designer designer;
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        auto* selector = designer.main().commandBars().toolBar(QStringLiteral("barDecisionTree"))->findChild<ControlSelectorBox*>();
        QVERIFY(selector);
        gApp->Controller().DecisionTree().AddNew(QPointF(3000, -3000), 1);
        const int last = selector->count() - 1;
        emit selector->activated(last);
        const CmDecisionItem* chosen = gApp->Model().Decisions().ItemByIndex(last + 1);
        QCOMPARE(gApp->Model().Decisions().Selected(), chosen);
        QVERIFY(window->visibleArea().contains(DiagramWindow::toScene(QPointF(3000, -3000))));
    }
};

KV_REGISTER_TEST(TestDiagramInDesigner)
#include "tst_DiagramWindow.moc"
