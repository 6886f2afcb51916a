#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "edit/CanvasModel.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/RulesText.h"
#include "project/Project.h"
#include "views/CommandBars.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QTest>

// Remove Link takes a link of the selected control off the diagram by removing its !GO lines,
// asking which when the control has several, as one undo step. Draw Group, which has no
// operation, is offered nowhere.
class TestRemoveLink : public QObject {
    Q_OBJECT

private slots:
    void removesTheChosenLink()
    {
        RunningDesigner designer;
        MainWindow& main = *designer.windows.mainWindow();
        main.show();
        CmDecisionManager& decisions = gApp->OpenProject().Decisions();
        QVERIFY(RulesText::Read(QStringLiteral("1\t\tStart\t\t\t\"\"\tRadio\t^Yes\t!GO Next\t^No\t!GO Next\t!GO Other\t\r\n"
                                               "2\t\tNext\t\t\t\"\"\tInfo\t!GO Other\t\r\n"
                                               "3\t\tOther\t\t\t\"\"\tDone\t\r\n"),
                                decisions)
                    .ok);
        main.commandBars().action(+ToolId::OpenDecisionTree)->trigger();
        CanvasModel& canvas = gApp->Controller().DiagramView().Canvas();
        const auto trigger = [&main](ToolId id) {
            gApp->View().UpdateBand(QStringLiteral("mnuDecisionTree"));
            QAction* action = main.commandBars().action(+id);
            if (!action || !action->isEnabled())
                return false;
            action->trigger();
            return true;
        };
        canvas.DeselectAll();
        decisions.setSelected(nullptr);
        QVERIFY(!trigger(ToolId::RemoveLink));
        // Selected by a click: the control, not the canvas, holds the selection.
        decisions.setSelected(decisions.Item(1));
        designer.prompt.QueueText(QStringLiteral("No → Next"));
        QVERIFY(trigger(ToolId::RemoveLink));
        QVERIFY(designer.prompt.shownTexts().value(0).contains(QStringLiteral("Yes → Next\nNo → Next\nNo → Other")));
        QCOMPARE(decisions.Item(1)->OptsAndActs(), (QStringList{"^Yes", "!GO Next", "^No", "!GO Other"}));
        QVERIFY(trigger(ToolId::Undo));
        QCOMPARE(decisions.Item(1)->OptsAndActs(), (QStringList{"^Yes", "!GO Next", "^No", "!GO Next", "!GO Other"}));

        // A control with one link loses it without a question.
        designer.prompt.clearShown();
        canvas.Select(2);
        QVERIFY(trigger(ToolId::RemoveLink));
        QVERIFY(designer.prompt.shownTexts().isEmpty());
        QVERIFY(decisions.Item(2)->OptsAndActs().isEmpty());

        QAction* group = main.commandBars().action(+ToolId::DrawGroup);
        for (QMenu* menu : main.findChildren<QMenu*>())
            QVERIFY2(!group || !menu->actions().contains(group), qPrintable(menu->objectName()));
    }
};

KV_REGISTER_TEST(TestRemoveLink)
#include "tst_RemoveLink.moc"
