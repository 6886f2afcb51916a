#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/TestRegistry.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "journeys/JourneyStore.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "views/CommandBars.h"
#include "views/MainWindow.h"

#include <QAction>
#include <QDockWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString cell(const QAbstractItemModel& model, int row, int column)
{
    return model.index(row, column).data().toString();
}

} // namespace

// Record Journey keeps the run test mode holds; the journeys window lists it and runs it again,
// and a change of the tree makes it fail there with its first difference.
class TestJourneyWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    void recordRunAndSeeItFail()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        QVERIFY(TestModeTree::saveTree(folder.filePath(QStringLiteral("ages.kvp"))));
        TestModeOptions& options = gApp->View().Settings().TestMode;
        options.ShowTestModeDlg = false;
        options.StartFromFirst = true;
        const CommandBars& bars = designer.windows.mainWindow()->commandBars();
        QAction* record = bars.action(+ToolId::RecordJourney);
        QAction* runAll = bars.action(+ToolId::RunAllJourneys);
        QVERIFY(record && runAll);
        QVERIFY(!record->isEnabled());
        QVERIFY(!runAll->isEnabled());

        bars.action(+ToolId::Run)->trigger();
        PlayerWindow* shown = TestModeTree::player();
        QVERIFY(shown);
        RuntimeEngine& engine = shown->engine();
        QVERIFY(!engine.setAnswer(engine.page().first(), QStringLiteral("Yes")));
        QVERIFY(engine.next());
        QVERIFY(!engine.setAnswer(engine.page().first(), QStringLiteral("42")));
        QVERIFY(engine.next());
        gApp->View().UpdateAllBands();
        QVERIFY(record->isEnabled());

        designer.prompt.QueueText(QStringLiteral("Forty-two"));
        record->trigger();
        auto* dock = designer.windows.mainWindow()->findChild<QDockWidget*>(QStringLiteral("barJourneys"));
        QVERIFY(dock && dock->isVisible());
        QVERIFY(bars.action(+ToolId::ShowJourneys)->isChecked());
        const QAbstractItemModel& list = *dock->findChild<QTableView*>()->model();
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(cell(list, 0, 0), QStringLiteral("Forty-two"));
        QCOMPARE(cell(list, 0, 1), LoadResString(33075));
        QVERIFY(gApp->Model().Document().Dirty());
        QList<Journey> stored;
        QVERIFY(JourneyStore::read(gApp->Model().Document().Storage(), stored));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().path, QStringList({"Start", "Age", "Finish"}));
        bars.action(+ToolId::Stop)->trigger();

        gApp->View().UpdateAllBands();
        QVERIFY(runAll->isEnabled());
        runAll->trigger();
        QCOMPARE(cell(list, 0, 1), LoadResString(33073));
        QVERIFY(gApp->View().GetLog().contains(QStringLiteral("PASS  Forty-two")));

        // The tree changes under the journey: it fails where the run parts from it.
        QVERIFY(gApp->Controller().DecisionTree().Rename(QStringLiteral("Age"), QStringLiteral("Years"), 2));
        dock->findChild<QPushButton*>(QStringLiteral("runAllJourneys"))->click();
        QCOMPARE(cell(list, 0, 1), LoadResString(33074));
        QCOMPARE(cell(list, 0, 2), QStringLiteral("the path parts after page 1 (Start): expected Age, was Years"));

        // A second recording under the same name replaces the first once the author agrees.
        bars.action(+ToolId::Run)->trigger();
        designer.prompt.QueueText(QStringLiteral("forty-two"));
        designer.prompt.QueueAnswer(PromptAnswer::Yes);
        gApp->View().UpdateAllBands();
        record->trigger();
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(cell(list, 0, 1), LoadResString(33075));
        bars.action(+ToolId::Stop)->trigger();

        // Once the tree no longer compiles, no result of an earlier run stays standing.
        gApp->View().UpdateAllBands();
        runAll->trigger();
        QCOMPARE(cell(list, 0, 1), LoadResString(33073));
        CmDecisionItem* first = gApp->Model().Decisions().ItemByIndex(1);
        first->setOptsAndActs(first->OptsAndActs() + QStringList{QStringLiteral("!GO Nowhere")});
        runAll->trigger();
        QCOMPARE(cell(list, 0, 1), LoadResString(33075));
        QCOMPARE(cell(list, 0, 2), QString());
    }
};

KV_REGISTER_TEST(TestJourneyWindow)
#include "tst_JourneyWindow.moc"
