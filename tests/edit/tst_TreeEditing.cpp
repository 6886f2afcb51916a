#include "common/Scaling.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"

#include "base/ResourceStrings.h"
#include "edit/RenameReferences.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <map>
#include <memory>

#include <QTest>

namespace {

QString text(int id)
{
    return LoadResString(id);
}

QString joined(int first, int second)
{
    return text(first) + QLatin1Char(' ') + text(second);
}

} // namespace

class TestTreeEditing : public QObject {
    Q_OBJECT

private slots:
    void renameRewritesActionLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("go") << "!GO Control2" << "!GO Price";
        QTest::newRow("set without blanks") << "!SET Control2=5" << "!SET Price=5";
        QTest::newRow("set with blanks") << "!SET Control2 = 5" << "!SET Price = 5";
        QTest::newRow("default with blanks") << "!DEFAULT Control2 = 1" << "!DEFAULT Price = 1";
        QTest::newRow("go with trailing blank") << "!GO Control2 " << "!GO Price ";
        QTest::newRow("reference in if") << "!IF [[Control2]] > 3" << "!IF [[Price]] > 3";
        QTest::newRow("reference in set value") << "!SET Other = [[Control2]] + 1" << "!SET Other = [[Price]] + 1";
        QTest::newRow("other case stays") << "!GO control2" << "!GO control2";
        QTest::newRow("longer name stays") << "!GO Control22" << "!GO Control22";
        QTest::newRow("bare name in if stays") << "!IF Control2 > 3" << "!IF Control2 > 3";
        QTest::newRow("option stays") << "^Control2" << "^Control2";
        QTest::newRow("help stays") << "?[[Control2]]" << "?[[Control2]]";
        QTest::newRow("lower keyword stays") << "!go Control2" << "!go Control2";
    }
    void renameRewritesActionLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"), line);
        diagram.add(2, QStringLiteral("Control2"));
        diagram.add(3, QStringLiteral("Other"));
        QVERIFY(diagram.tree.Rename(QStringLiteral("Control2"), QStringLiteral("Price"), 2));
        QCOMPARE(diagram.linesOf(QStringLiteral("Start")), QStringList{expected});
        QVERIFY(diagram.messages().isEmpty());
    }

    void renameUpdatesHeadersGroupsCanvasAndLinks()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"), QStringLiteral("!GO Control2"), QStringLiteral("CONTROL2|Other"),
                    QStringLiteral("You said [[Control2]] and [[Control2]]"));
        diagram.add(2, QStringLiteral("Control2"), QStringLiteral("!GO Other"));
        diagram.add(3, QStringLiteral("Other"));
        QVERIFY(diagram.tree.Rename(QStringLiteral("Control2"), QStringLiteral("Price"), 2));
        const CmDecisionItem* start = diagram.decisions.Item(QStringLiteral("Start"));
        QCOMPARE(start->Heading(), QStringLiteral("You said [[Price]] and [[Price]]"));
        QCOMPARE(start->Group(), (QStringList{QStringLiteral("Price"), QStringLiteral("Other")}));
        QVERIFY(diagram.decisions.Exists(QStringLiteral("Price")));
        QVERIFY(!diagram.decisions.Exists(QStringLiteral("Control2")));
        QCOMPARE(diagram.view.Canvas().Entity(2)->caption, QStringLiteral("Price"));
        QCOMPARE(diagram.view.Canvas().LinksFrom(1), QList<qint16>{2});
        // Rename keeps no undo record of its own.
        QVERIFY(diagram.recorded.commands.empty());
    }

    void renameGivenTheControlsOwnName()
    {
        DiagramFixture diagram;
        CmDecisionItem* start = diagram.add(1, QStringLiteral("Start"), QStringLiteral("!GO Start"));
        QVERIFY(diagram.tree.Rename(start->strID(), QStringLiteral("Begin"), 1));
        QCOMPARE(start->OptsAndActs(), QStringList{QStringLiteral("!GO Begin")});
    }

    void renameRefusals_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("testing");
        QTest::addColumn<QString>("message");
        QTest::newRow("same name") << "Control2" << false << QString();
        QTest::newRow("one letter") << "A" << false << QString();
        QTest::newRow("underscore inside") << "a_1" << false << QString();
        QTest::newRow("underscore first") << "_a" << false << joined(12106, 12108);
        QTest::newRow("dash") << "a-b" << false << joined(12106, 12108);
        QTest::newRow("accented first") << QString::fromUtf8("\xc3\x89t\xc3\xa9") << false << joined(12106, 12108);
        QTest::newRow("accented later") << QString::fromUtf8("caf\xc3\xa9") << false << joined(12106, 12108);
        QTest::newRow("blank") << "a b" << false << joined(12106, 12108);
        QTest::newRow("empty") << "" << false << joined(12106, 12108);
        QTest::newRow("number") << "12" << false << joined(12106, 12107);
        QTest::newRow("exponent") << "1e3" << false << joined(12106, 12107);
        QTest::newRow("decimal") << "9.5" << false << joined(12106, 12107);
        // A number is looked up as a control number first.
        QTest::newRow("number of a control") << "2" << false << text(12104);
        QTest::newRow("taken") << "Other" << false << text(12104);
        QTest::newRow("taken other case") << "OTHER" << false << text(12104);
        QTest::newRow("while testing") << "Fine" << true << text(12102);
    }
    void renameRefusals()
    {
        QFETCH(QString, newName);
        QFETCH(bool, testing);
        QFETCH(QString, message);
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"), QStringLiteral("!GO Control2"));
        diagram.add(2, QStringLiteral("Control2"));
        diagram.add(3, QStringLiteral("Other"));
        diagram.tree.setTestRunning([testing] { return testing; });
        const bool renamed = diagram.tree.Rename(QStringLiteral("Control2"), newName, 2);
        const bool accepted = message.isEmpty() && newName != QLatin1String("Control2");
        QCOMPARE(renamed, accepted);
        QCOMPARE(diagram.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!accepted) {
            QVERIFY(diagram.decisions.Exists(QStringLiteral("Control2")));
            QCOMPARE(diagram.linesOf(QStringLiteral("Start")), QStringList{QStringLiteral("!GO Control2")});
            QCOMPARE(diagram.view.Canvas().Entity(2)->caption, QStringLiteral("Control2"));
        }
    }

    void newControlTakesFirstFreeNameFromCount()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Control1"));
        diagram.add(2, QStringLiteral("Control2"));
        diagram.add(3, QStringLiteral("Control4"));
        diagram.view.setControlTool(1130);
        CmDecisionItem* added = diagram.tree.AddNew(QPointF(10, 20), 1);
        QVERIFY(added);
        QCOMPARE(added->strID(), QStringLiteral("Control5"));
        QCOMPARE(added->intID(), qint16(4));
        QCOMPARE(added->intControl(), qint16(MDecisionDataUtil::Check));
        const CanvasEntity* entity = diagram.view.Canvas().Entity(4);
        QVERIFY(entity && entity->data == added);
        QCOMPARE(entity->caption, QStringLiteral("Control5"));
        QCOMPARE(diagram.recorded.commands.size(), std::size_t(1));
        const auto& command = diagram.recorded.commands.front();
        QCOMPARE(command.kind, IEditRecorder::ControlAdded);
        QCOMPARE(command.key.toInt(), 4);
        QCOMPARE(command.data.toString(), added->Store());
        QCOMPARE(command.newValue.toString(), MCanvasPoints::GetPtsData(entity->points()));
    }

    void firstControlAddedIsNotRecorded()
    {
        DiagramFixture diagram;
        CmDecisionItem* first = diagram.tree.AddNew(QPointF(0, 0), 1);
        QVERIFY(first);
        QCOMPARE(first->intID(), qint16(1));
        QCOMPARE(first->strID(), QStringLiteral("Control1"));
        QVERIFY(diagram.recorded.commands.empty());
    }

    void drawnEntityBecomesControlWithoutRecord()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"));
        CanvasEntity* entity = diagram.view.AddEntity(QPointF(5, 5), 1, QString());
        QVERIFY(entity);
        CmDecisionItem* added = diagram.tree.AddToModel(entity->key);
        QVERIFY(added);
        QCOMPARE(added->strID(), QStringLiteral("Control2"));
        QCOMPARE(diagram.view.Canvas().Entity(2)->caption, QStringLiteral("Control2"));
        QVERIFY(diagram.recorded.commands.empty());
    }

    void pasteNamesTheCopyAfterTakenNames()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"));
        diagram.add(2, QStringLiteral("Control3"), QStringLiteral("^Yes|!GO Start"));
        diagram.add(3, QStringLiteral("Control4"));
        diagram.tree.SelectDecision(QStringLiteral("Control3"));
        diagram.tree.CopyEntity();
        // The copy is deep: later edits of the original do not reach it.
        CmDecisionItem* original = diagram.decisions.Item(QStringLiteral("Control3"));
        original->setOptsAndActs(original->OptsAndActs() + QStringList{QStringLiteral("!NOOP")});
        diagram.tree.PasteEntity();
        QCOMPARE(diagram.messages(), QStringList{text(12105)});
        diagram.view.Canvas().ClickAt(QPointF(300, -40));
        diagram.tree.PasteEntity();
        const CmDecisionItem* pasted = diagram.decisions.Item(QStringLiteral("Control5"));
        QVERIFY(pasted);
        QCOMPARE(pasted->intID(), qint16(4));
        QCOMPARE(pasted->OptsAndActs(), (QStringList{QStringLiteral("^Yes"), QStringLiteral("!GO Start")}));
        QCOMPARE(diagram.decisions.Selected(), pasted);
        QCOMPARE(diagram.view.Canvas().Entity(4)->centre, QPointF(300, -40));
        // Each paste needs a click of its own; the clipboard stays.
        diagram.tree.PasteEntity();
        QCOMPARE(diagram.messages().size(), 2);
        diagram.view.Canvas().ClickAt(QPointF(0, 0));
        diagram.tree.PasteEntity();
        QVERIFY(diagram.decisions.Exists(QStringLiteral("Control6")));
    }

    void nextIdOfNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("next");
        QTest::newRow("number") << "Control3" << "Control4";
        QTest::newRow("no number") << "Price" << "Price1";
        QTest::newRow("carry") << "Step9" << "Step10";
        QTest::newRow("digits inside") << "A1b2" << "A1b3";
    }
    void nextIdOfNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, next);
        QCOMPARE(CcDecisionTree::GetNextID(name), next);
    }

    void cutKeepsFirstControlAndClipboard()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"));
        diagram.add(2, QStringLiteral("Second"), QStringLiteral("!GO Start"));
        diagram.tree.CutEntity();
        QVERIFY(diagram.messages().isEmpty());
        QVERIFY(!diagram.tree.clipboard());
        diagram.tree.SelectDecision(QStringLiteral("Second"));
        diagram.tree.CopyEntity();
        diagram.tree.SelectDecision(QStringLiteral("Start"));
        diagram.tree.CutEntity();
        QCOMPARE(diagram.messages(), QStringList{text(12100)});
        QCOMPARE(diagram.prompt.shown().front().title, text(12101));
        QVERIFY(diagram.decisions.Exists(QStringLiteral("Start")));
        QCOMPARE(diagram.tree.clipboard()->strID(), QStringLiteral("Second"));
    }

    void cutTakesTheControlItselfAndRecordsIt()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"), QStringLiteral("!GO Second"));
        CmDecisionItem* second = diagram.add(2, QStringLiteral("Second"), QStringLiteral("^A|!GO Start"));
        const QString stored = second->Store();
        diagram.tree.SelectDecision(QStringLiteral("Second"));
        QVERIFY(diagram.view.Canvas().IsSelected(2));
        diagram.tree.CutEntity();
        QVERIFY(!diagram.decisions.Exists(QStringLiteral("Second")));
        QVERIFY(!diagram.view.Canvas().Entity(2));
        QCOMPARE(diagram.tree.clipboard(), second);
        QVERIFY(!diagram.decisions.Selected());
        QCOMPARE(diagram.recorded.commands.size(), std::size_t(1));
        QCOMPARE(diagram.recorded.commands.front().kind, IEditRecorder::ControlDeleted);
        QCOMPARE(diagram.recorded.commands.front().data.toString(), stored);
        // Pasted back, it takes its own name again.
        diagram.view.Canvas().ClickAt(QPointF(1, 1));
        diagram.tree.PasteEntity();
        QVERIFY(diagram.decisions.Exists(QStringLiteral("Second")));
    }

    void canvasDeleteRefusesFirstControl()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("Start"));
        diagram.add(2, QStringLiteral("Second"));
        diagram.tree.Remove(1);
        QCOMPARE(diagram.messages(), QStringList{text(12100)});
        QVERIFY(diagram.view.Canvas().Entity(1));
        diagram.tree.SelectDecision(2);
        diagram.tree.Remove(2);
        QVERIFY(!diagram.decisions.Exists(QStringLiteral("Second")));
        QVERIFY(!diagram.decisions.Selected());
    }

    void zoomToPercentOfSmallerSide()
    {
        DiagramFixture diagram;
        diagram.add(1, QStringLiteral("A"));
        diagram.add(2, QStringLiteral("B"));
        CanvasModel& canvas = diagram.view.Canvas();
        canvas.MoveEntity(1, QPointF(0, 0));
        canvas.MoveEntity(2, QPointF(1000, 300));
        diagram.tree.ZoomExtents();
        const QRectF extents = canvas.Extents();
        diagram.tree.Zoom75();
        QCOMPARE(canvas.ViewRect().topLeft(), extents.topLeft());
        QCOMPARE(canvas.ViewRect().width(), std::round(0.75 * extents.height()));
        diagram.tree.Zoom25();
        QCOMPARE(canvas.ViewRect().height(), std::round(0.25 * extents.height()));
        diagram.tree.RestoreView();
        QCOMPARE(canvas.ViewRect().height(), std::round(0.75 * extents.height()));
    }

    void renameStaysLinearInTreeSize()
    {
        std::map<int, std::unique_ptr<DiagramFixture>> trees;
        const auto work = [&trees](int count) {
            std::unique_ptr<DiagramFixture>& diagram = trees[count];
            if (!diagram) {
                diagram = std::make_unique<DiagramFixture>();
                SyntheticTree::fill(diagram->decisions, count);
            }
            const CmDecisionItem* second = diagram->decisions.ItemByIndex(2);
            const QString name = second->strID();
            diagram->tree.Rename(name, QStringLiteral("Renamed"), second->intID());
            diagram->tree.Rename(QStringLiteral("Renamed"), name, second->intID());
        };
        QVERIFY(GrowthRatio(work, 4000) < 3.0);
    }
};

KV_REGISTER_TEST(TestTreeEditing)
#include "tst_TreeEditing.moc"
