#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CvDecisionTree.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

// Select All and DeSelect All work on what has the keyboard: a text field's text, else the
// diagram's every control.
class TestSelectAll : public QObject {
    Q_OBJECT

private slots:
    void byFocus()
    {
        RunningDesigner designer;
        MainWindow& main = *designer.windows.mainWindow();
        main.resize(1100, 760);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const auto trigger = [&main](ToolId id) {
            gApp->View().UpdateBand(QStringLiteral("mnuEdit"));
            QAction* action = main.commandBars().action(+id);
            if (!action || !action->isEnabled())
                return false;
            action->trigger();
            return true;
        };
        main.commandBars().action(+ToolId::OpenDecisionTree)->trigger();
        auto* window = main.findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree"));
        QVERIFY(window);
        CcDecisionTree& tree = gApp->Controller().DecisionTree();
        for (int i = 0; i < 3; ++i)
            QVERIFY(tree.AddNew(QPointF(200.0 * i, 0), 1));
        CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
        canvas.DeselectAll();
        window->setFocus();
        QVERIFY(trigger(ToolId::SelectAll));
        QCOMPARE(canvas.SelectedKeys().size(), 3);
        QVERIFY(trigger(ToolId::DeselectAll));
        QVERIFY(canvas.SelectedKeys().isEmpty());

        // A text field with the keyboard takes it instead, and the diagram keeps its selection.
        QLineEdit line(&main);
        line.setText(QStringLiteral("abc"));
        line.show();
        line.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(trigger(ToolId::SelectAll));
        QCOMPARE(line.selectedText(), QStringLiteral("abc"));
        QVERIFY(canvas.SelectedKeys().isEmpty());
        QVERIFY(trigger(ToolId::DeselectAll));
        QVERIFY(!line.hasSelectedText());
    }
};

KV_REGISTER_TEST(TestSelectAll)
#include "tst_SelectAll.moc"
