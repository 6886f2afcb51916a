#include "common/Scaling.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "app/CView.h"
#include "project/CvProject.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CcUndo.h"
#include "edit/CvDecisionTree.h"
#include "edit/OptionsEditSession.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "views/MainWindow.h"
#include "views/OptionsEditorHost.h"
#include "views/PictureWindow.h"
#include "views/frmProject.h"

#include <QCoreApplication>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTest>

namespace {

using Branch = frmProject::Branch;

QStringList entries(const frmProject& explorer, Branch which)
{
    QStringList names;
    const QTreeWidgetItem* parent = explorer.branch(which);
    for (int i = 0; i < parent->childCount(); ++i)
        names.append(parent->child(i)->text(0));
    return names;
}

struct Designer : RunningDesigner {
    Designer() { main().show(); }
    MainWindow& main() const { return *windows.mainWindow(); }
    frmProject& explorer() const { return *main().findChild<frmProject*>(); }
    CcDecisionTree& tree() const { return gApp->Controller().DecisionTree(); }
    QStringList controls() const
    {
        // Controls added together join the list once the events have run.
        QCoreApplication::processEvents();
        return entries(explorer(), Branch::Controls);
    }
};

} // namespace

// The project explorer follows the controls and the project's lists as they change, opens the
// editor of what is activated, and stays linear in the number of controls.
class TestProjectExplorer : public QObject {
    Q_OBJECT

private slots:
    void followsAddRenameRemoveAndUndo();
    void listsSelectorsAndPictures();
    void activatingOpensTheEditor();
    void followingStaysLinear();
};

void TestProjectExplorer::followsAddRenameRemoveAndUndo()
{
    Designer designer;
    // The first control can never be deleted.
    designer.tree().AddNew(QPointF(0, 0), 1, QStringLiteral("Start"));
    const QStringList start = designer.controls();
    CmDecisionItem* added = designer.tree().AddNew(QPointF(200, -100), 1, QStringLiteral("Colour"));
    QVERIFY(added);
    QCOMPARE(designer.controls(), start + QStringList{QStringLiteral("Colour")});
    const qint16 key = added->intID();
    QVERIFY(designer.tree().Rename(QStringLiteral("Colour"), QStringLiteral("Shade"), key));
    QCOMPARE(designer.controls(), start + QStringList{QStringLiteral("Shade")});
    QCOMPARE(designer.explorer().controlItem(key)->text(0), QStringLiteral("Shade"));
    QVERIFY(gApp->Controller().DiagramView().Canvas().DeleteEntity(key));
    QCOMPARE(designer.controls(), start);
    QVERIFY(!designer.explorer().controlItem(key));

    CcUndo& undo = gApp->Controller().Edit().Undo();
    undo.UndoCommand();
    QCOMPARE(designer.controls(), start + QStringList{QStringLiteral("Shade")});
    undo.UndoCommand();
    QCOMPARE(designer.controls(), start + QStringList{QStringLiteral("Colour")});
    undo.UndoCommand();
    QCOMPARE(designer.controls(), start);
}

void TestProjectExplorer::listsSelectorsAndPictures()
{
    Designer designer;
    CvProject& project = gApp->View().Project();
    project.AddCriteriaList(QStringLiteral("Laptops"));
    project.AddCriteriaList(QStringLiteral("Bags"));
    project.AddExternalCriteriaList(QStringLiteral("Stock"));
    project.AddPicture(QStringLiteral("Logo"));
    project.RenameNode(QStringLiteral("Bags"), QStringLiteral("Cases"));
    project.RemoveNode(QStringLiteral("Laptops"));
    const frmProject& explorer = designer.explorer();
    QCOMPARE(entries(explorer, Branch::Selectors), QStringList{QStringLiteral("Cases")});
    QCOMPARE(entries(explorer, Branch::ExternalSelectors), QStringList{QStringLiteral("Stock")});
    QCOMPARE(entries(explorer, Branch::Pictures), QStringList{QStringLiteral("Logo")});
    project.Clear();
    QVERIFY(entries(explorer, Branch::Pictures).isEmpty());
}

void TestProjectExplorer::activatingOpensTheEditor()
{
    Designer designer;
    CmDecisionItem* target = designer.tree().AddNew(QPointF(200, -100), 1, QStringLiteral("Target"));
    designer.tree().AddNew(QPointF(300, -100), 1, QStringLiteral("Other"));
    designer.controls();
    frmProject& explorer = designer.explorer();

    emit explorer.itemActivated(explorer.controlItem(target->intID()), 0);
    QCOMPARE(gApp->Model().Decisions().Selected(), target);
    auto* options = designer.main().findChild<QDockWidget*>(QLatin1String(OptionsEditorHost::DockName));
    QVERIFY(options->isVisible());

    gApp->View().Project().AddPicture(QStringLiteral("Logo"));
    emit explorer.itemActivated(explorer.branch(Branch::Pictures)->child(0), 0);
    bool shown = false;
    for (const PictureWindow* window : designer.main().findChildren<PictureWindow*>())
        shown = shown || (window->name() == QLatin1String("Logo") && window->isVisible());
    QVERIFY(shown);
}

void TestProjectExplorer::followingStaysLinear()
{
    const auto work = [](int count) {
        CmDecisionManager decisions;
        frmProject explorer(decisions);
        SyntheticTree::fill(decisions, count);
        QCoreApplication::processEvents();
        QCOMPARE(explorer.branch(Branch::Controls)->childCount(), count);
        for (int index = 1; index <= decisions.Count(); index += 2) {
            const CmDecisionItem* item = decisions.ItemByIndex(index);
            decisions.Rename(QVariant(item->intID()), QStringLiteral("Renamed%1").arg(index));
        }
        QCOMPARE(explorer.controlItem(decisions.ItemByIndex(1)->intID())->text(0), QStringLiteral("Renamed1"));
    };
    const double ratio = GrowthRatio(work, 3000);
    QVERIFY2(ratio < 3.0, qPrintable(QString::number(ratio)));
}

KV_REGISTER_TEST(TestProjectExplorer)
#include "tst_ProjectExplorer.moc"
