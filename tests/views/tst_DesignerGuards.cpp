#include "RunningDesigner.h"
#include "TestModeTree.h"
#include "common/TestRegistry.h"

#include "app/CController.h"
#include "app/CView.h"
#include "app/ToolId.h"
#include "app/ViewSettings.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDocument.h"
#include "project/CModel.h"
#include "views/CommandBars.h"
#include "views/MainWindow.h"
#include "views/PlayerWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int SaveQuestionId = 12001;
constexpr int ControlWizardTitleId = 34000;
constexpr int ActionWizardTitleId = 34001;

QAction* action(const RunningDesigner& designer, ToolId id)
{
    return designer.windows.mainWindow()->commandBars().action(+id);
}

// The visible players by title: a test run's and the wizards'.
QStringList playerTitles()
{
    QStringList titles;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<PlayerWindow*>(window) && window->isVisible())
            titles.append(window->windowTitle());
    }
    titles.sort();
    return titles;
}

// A project with its diagram shown, which the wizards add to.
void showDiagram(const RunningDesigner& designer)
{
    QVERIFY(gApp->Controller().DecisionTree().AddNew(QPointF(0, 0), 1, u"Start"_s));
    action(designer, ToolId::OpenDecisionTree)->trigger();
    gApp->View().UpdateAllBands();
}

} // namespace

class TestDesignerGuards : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    // Edit and Delete Selector have nothing to pick before the project holds a selector.
    void selectorCommandsWaitForASelector()
    {
        RunningDesigner designer;
        gApp->View().UpdateAllBands();
        QVERIFY(!action(designer, ToolId::EditSelector)->isEnabled());
        QVERIFY(!action(designer, ToolId::DeleteSelector)->isEnabled());
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        designer.prompt.QueueText(u"Fruit"_s);
        action(designer, ToolId::NewSelector)->trigger();
        gApp->View().UpdateAllBands();
        QVERIFY(action(designer, ToolId::EditSelector)->isEnabled());
        QVERIFY(action(designer, ToolId::DeleteSelector)->isEnabled());
    }

    void clicksWaitForTheControlWizard_data()
    {
        QTest::addColumn<int>("wizard");
        QTest::addColumn<bool>("holds");
        QTest::newRow("control wizard") << +ToolId::ControlWizard << true;
        QTest::newRow("action wizard") << +ToolId::ActionWizard << false;
    }

    // While the control wizard runs a click brings it forward and runs nothing; the action
    // wizard lets the other commands run beside it.
    void clicksWaitForTheControlWizard()
    {
        QFETCH(int, wizard);
        QFETCH(bool, holds);
        RunningDesigner designer;
        showDiagram(designer);
        action(designer, static_cast<ToolId>(wizard))->trigger();
        const QString title = LoadResString(wizard == +ToolId::ControlWizard ? ControlWizardTitleId : ActionWizardTitleId);
        QCOMPARE(playerTitles(), QStringList{title});
        PlayerWindow* player = TestModeTree::player();
        designer.windows.mainWindow()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), designer.windows.mainWindow());
        designer.prompt.clearShown();

        // New asks about the changed project first, when it runs.
        action(designer, ToolId::FileNew)->trigger();
        QCOMPARE(designer.prompt.shown().size(), holds ? 0 : 1);
        if (holds)
            QTRY_COMPARE(QApplication::activeWindow(), player);

        // Once the wizard's window is closed the clicks run again.
        player->close();
        designer.prompt.clearShown();
        action(designer, ToolId::FileNew)->trigger();
        QCOMPARE(designer.prompt.shownTexts(), QStringList{LoadResString(SaveQuestionId)});
    }

    // Exit ends a running test and the wizards before its one question, the usual save
    // question; cancelled there, the program runs on without them.
    void exitEndsTheTestAndTheWizards()
    {
        const QTemporaryDir folder;
        RunningDesigner designer;
        const QString project = folder.filePath(u"exit.kvp"_s);
        QVERIFY(TestModeTree::saveTree(project));
        action(designer, ToolId::OpenDecisionTree)->trigger();
        TestModeOptions& options = gApp->View().Settings().TestMode;
        options.ShowTestModeDlg = false;
        options.StartFromFirst = true;
        action(designer, ToolId::Run)->trigger();
        action(designer, ToolId::ActionWizard)->trigger();
        QCOMPARE(playerTitles().size(), 2);
        gApp->Model().Document().MarkChanged();
        const QString testFile = folder.filePath(u"exit.testrun.kvd"_s);
        QVERIFY(QFileInfo::exists(testFile));
        designer.prompt.clearShown();
        designer.prompt.QueueAnswer(PromptAnswer::Cancel);

        QVERIFY(!MStartUp::ExitProgram(designer.windows));
        QCOMPARE(designer.prompt.shownTexts(), QStringList{LoadResString(SaveQuestionId)});
        QVERIFY(gApp);
        QTRY_COMPARE(playerTitles(), QStringList{});
        QVERIFY(!QFileInfo::exists(testFile));
        gApp->View().UpdateAllBands();
        QVERIFY(!action(designer, ToolId::Stop)->isEnabled());
        QVERIFY(action(designer, ToolId::Run)->isEnabled());

        // The control wizard, which holds every click, ends the same way.
        action(designer, ToolId::ControlWizard)->trigger();
        QCOMPARE(playerTitles(), QStringList{LoadResString(ControlWizardTitleId)});
        designer.prompt.QueueAnswer(PromptAnswer::Cancel);
        QVERIFY(!MStartUp::ExitProgram(designer.windows));
        QTRY_COMPARE(playerTitles(), QStringList{});
        designer.prompt.clearShown();
        // The click runs again: New asks about the changed project.
        action(designer, ToolId::FileNew)->trigger();
        QCOMPARE(designer.prompt.shownTexts(), QStringList{LoadResString(SaveQuestionId)});
    }
};

KV_REGISTER_TEST(TestDesignerGuards)
#include "tst_DesignerGuards.moc"
