#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/ScriptedPrompt.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "edit/CcDecisionTree.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/MStartUp.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/ResourceStrings.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "views/CommandBars.h"
#include "views/DesignerWindowHost.h"
#include "views/MainWindow.h"
#include "views/PlayerWindow.h"
#include "views/frmTestModeOptions.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDockWidget>
#include <QFileInfo>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using TestModeTree::player;
using TestModeTree::saveTree;

class TestTestModeWindows : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    // Run shows the pages in the player and the values beside the diagram; the tools follow the
    // run, and Stop closes it all.
    void runFollowAndStop()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        QVERIFY(saveTree(folder.filePath(QStringLiteral("run.kvp"))));
        ScriptedPrompt& prompt = designer.prompt;
        const DesignerWindowHost& windows = designer.windows;
        TestModeOptions& options = gApp->View().Settings().TestMode;
        options.ShowTestModeDlg = false;
        options.StartFromFirst = true;
        options.ShowDecisionValues = true;
        options.ShowCLValues = false;
        const CommandBars& bars = windows.mainWindow()->commandBars();
        QVERIFY(bars.action(+ToolId::Run)->isEnabled());
        QVERIFY(!bars.action(+ToolId::Stop)->isEnabled());

        bars.action(+ToolId::Run)->trigger();
        PlayerWindow* shown = player();
        QVERIFY(shown);
        QVERIFY(!bars.action(+ToolId::Run)->isEnabled());
        QVERIFY(bars.action(+ToolId::Stop)->isEnabled());
        auto* values = windows.mainWindow()->findChild<QDockWidget*>(QStringLiteral("barDecisionValues"));
        QVERIFY(values && values->isVisible());
        QVERIFY(bars.action(+ToolId::ShowDecisionValues)->isChecked());
        const QAbstractItemModel* table = values->findChild<QTableView*>()->model();
        QCOMPARE(table->index(0, 0).data().toString(), QStringLiteral("Start"));

        for (QRadioButton* choice : shown->findChildren<QRadioButton*>()) {
            if (choice->text() == QLatin1String("Yes"))
                choice->setChecked(true);
        }
        shown->next();
        QCOMPARE(shown->engine().control(shown->engine().page().first())->name, QStringLiteral("Age"));
        QCOMPARE(table->index(0, 1).data().toString(), QStringLiteral("Yes"));
        QCOMPARE(table->index(0, 2).data().toString(), LoadResString(32813));
        QVERIFY(gApp->View().GetLog().contains(LoadResString(32802) + QStringLiteral("Age")));

        // Names are the running tree's until the run stops.
        prompt.clearShown();
        QVERIFY(!gApp->Controller().DecisionTree().Rename(QStringLiteral("Age"), QStringLiteral("Years"), 2));
        QCOMPARE(prompt.shownTexts(), QStringList{LoadResString(12102)});

        bars.action(+ToolId::Stop)->trigger();
        QVERIFY(gApp->Controller().DecisionTree().Rename(QStringLiteral("Age"), QStringLiteral("Years"), 2));
        QVERIFY(!player());
        QVERIFY(!values->isVisible());
        QVERIFY(bars.action(+ToolId::Run)->isEnabled());
        QVERIFY(gApp->View().GetLog().endsWith(LoadResString(32806) + QStringLiteral("\r\n")));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("run.testrun.kvd"))));
    }

    // Run From This Control starts at the selected control and does not ask how to test.
    void runFromTheSelectedControl()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        QVERIFY(saveTree(folder.filePath(QStringLiteral("from.kvp"))));
        const DesignerWindowHost& windows = designer.windows;
        gApp->View().Settings().TestMode.ShowTestModeDlg = true;
        const CommandBars& bars = windows.mainWindow()->commandBars();
        QVERIFY(!bars.action(+ToolId::RunFromControl)->isEnabled());
        gApp->Model().Decisions().SetSelectedDecision(QStringLiteral("Age"));
        QVERIFY(bars.action(+ToolId::RunFromControl)->isEnabled());
        bars.action(+ToolId::RunFromControl)->trigger();
        PlayerWindow* shown = player();
        QVERIFY(shown);
        QCOMPARE(shown->engine().control(shown->engine().page().first())->name, QStringLiteral("Age"));
        bars.action(+ToolId::Stop)->trigger();
    }

    // The options dialog hands every field over on Apply and on OK, and nothing on Cancel.
    void optionsDialogAppliesItsTabs()
    {
        TestModeOptions kept;
        kept.StartFromFirst = true;
        int applied = 0;
        frmTestModeOptions dialog(kept, {QStringLiteral("Start"), QStringLiteral("Age")}, [&](const TestModeOptions& chosen) {
            kept = chosen;
            ++applied;
        });
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
            if (radio->text() == LoadResString(32836) || radio->text() == LoadResString(32841)
                || radio->text() == LoadResString(32843))
                radio->setChecked(true);
        }
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            box->setChecked(!box->isChecked());
        dialog.findChild<QComboBox*>()->setCurrentIndex(1);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        buttons->button(QDialogButtonBox::Apply)->click();
        QCOMPARE(applied, 1);
        QVERIFY(kept.StepThrough);
        QVERIFY(!kept.StartFromFirst && !kept.StartFromSelected);
        QCOMPARE(kept.StartDecision, QStringLiteral("Age"));
        QVERIFY(kept.PromptUserForValue);
        QCOMPARE(kept.ShowTestModeDlg, !TestModeOptions().ShowTestModeDlg);
        QCOMPARE(kept.ShowDecisionValues, !TestModeOptions().ShowDecisionValues);
        buttons->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(applied, 1);
    }
};

KV_REGISTER_TEST(TestTestModeWindows)
#include "tst_TestModeWindows.moc"
