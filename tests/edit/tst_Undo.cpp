#include "common/TestRegistry.h"
#include "edit/FindReplace.h"
#include "edit/UndoProject.h"

#include "edit/MLinkUtil.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "persist/PictureStore.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

using Edit = std::function<void(UndoProject&)>;
using namespace MDecisionDataUtil;

CmDecisionItem* control(UndoProject& p, int key)
{
    return p.decisions.Item(key);
}

void editCell(CvCriteriaList& grid, int row, int column, const QString& text)
{
    grid.setCurrentCell(row, column);
    grid.DoubleClick();
    grid.setEditText(text);
    grid.CommitEdit();
}

} // namespace
Q_DECLARE_METATYPE(Edit)

class TestUndo : public QObject {
    Q_OBJECT

private slots:
    void eachKindUndoneAndRedone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Edit>("edit");
        QTest::newRow("whole record") << 0 << Edit([](UndoProject& p) {
            CmDecisionItem* item = control(p, 2);
            QString record = item->Store();
            record.replace(QStringLiteral("Caption 2"), QStringLiteral("Other caption"));
            QVERIFY(item->LoadEdited(record));
        });
        QTest::newRow("page header") << 1 << Edit([](UndoProject& p) { control(p, 2)->EditHeading("<B>Hi</B> [[Control1]]"); });
        QTest::newRow("options") << 2 << Edit([](UndoProject& p) { control(p, 3)->setOptsAndActs({"^A", "^B"}); });
        QTest::newRow("link") << 2 << Edit([](UndoProject& p) {
            CmDecisionItem* from = control(p, 1);
            from->setOptsAndActs(MLinkUtil::AddLinkLines(from->OptsAndActs(), QString(), QString(), "Control3"));
        });
        QTest::newRow("caption") << 3 << Edit([](UndoProject& p) { SetProperty(*control(p, 2), CaptionLabel, "New"); });
        QTest::newRow("interface") << 3 << Edit([](UndoProject& p) {
            QVERIFY(SetProperty(*control(p, 2), InputInterfaceLabel, ControlIntToStr(3)));
        });
        QTest::newRow("name") << 3 << Edit([](UndoProject& p) { QVERIFY(p.tree.Rename("Control2", "Price", 2)); });
        QTest::newRow("added") << 4 << Edit([](UndoProject& p) { QVERIFY(p.tree.AddNew(QPointF(50, -300), 1)); });
        QTest::newRow("deleted") << 5 << Edit([](UndoProject& p) { QVERIFY(p.view.Canvas().DeleteEntity(2)); });
        QTest::newRow("moved") << 6 << Edit([](UndoProject& p) { p.view.Canvas().MoveEntity(3, QPointF(-40, 90)); });
        QTest::newRow("selector created") << 10 << Edit([](UndoProject& p) {
            p.prompt.QueueText(QStringLiteral("Fresh"));
            CvCriteriaList* created = p.selectors.NewList(SelectorKind::Internal);
            QVERIFY(created);
            p.undo.setEnabled(true);
            editCell(*created, 1, 0, "kept");
            p.undo.setEnabled(false);
        });
        QTest::newRow("selector deleted") << 11 << Edit([](UndoProject& p) { p.selectors.DeleteList({"S"}); });
        QTest::newRow("selector renamed") << 13 << Edit([](UndoProject& p) { p.selectors.RenameList("S", "T"); });
        QTest::newRow("column inserted") << 14 << Edit([](UndoProject& p) {
            p.editor()->setCurrentCell(1, 1);
            p.editor()->InsertColumn();
        });
        QTest::newRow("row inserted") << 15 << Edit([](UndoProject& p) {
            p.editor()->setCurrentCell(1, 0);
            p.editor()->InsertRow();
        });
        QTest::newRow("cell edited") << 16 << Edit([](UndoProject& p) { editCell(*p.editor(), 2, 1, "9"); });
        QTest::newRow("column deleted") << 17 << Edit([](UndoProject& p) {
            p.editor()->setCurrentCell(1, 1);
            p.editor()->DeleteColumn();
        });
        QTest::newRow("row deleted") << 18 << Edit([](UndoProject& p) {
            p.editor()->setCurrentCell(1, 0);
            p.editor()->DeleteRow();
        });
        QTest::newRow("column renamed") << 19 << Edit([](UndoProject& p) {
            p.editor()->setCurrentCell(1, 1);
            p.editor()->RenameColumn(QStringLiteral("Cost"));
        });
    }
    void eachKindUndoneAndRedone()
    {
        QFETCH(int, kind);
        QFETCH(Edit, edit);
        UndoProject p;
        p.addControls(3);
        p.addSelector();
        const QString before = p.snapshot();
        edit(p);
        if (QTest::currentTestFailed())
            return;
        const QString after = p.snapshot();
        QVERIFY(after != before);
        QCOMPARE(p.undo.UndoCount(), 1);
        QCOMPARE(p.undo.NextUndoKind().value_or(-1), kind);

        p.undo.UndoCommand();
        QCOMPARE(p.snapshot(), before);
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.undo.RedoCount(), 1);
        p.undo.RedoCommand();
        QCOMPARE(p.snapshot(), after);
        p.undo.UndoCommand();
        QCOMPARE(p.snapshot(), before);
        // Undo and redo recorded nothing of their own.
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.undo.RedoCount(), 1);
    }

    void picturesComeAndGo()
    {
        UndoProject p;
        PictureStore pictures = p.document.Storage().pictures();
        QVERIFY(pictures.add("logo", "one"));
        p.undo.AddCommand(CcUndo::PictureAdded, "logo", {}, {}, QByteArray("one"));
        QVERIFY(pictures.add("logo", "two"));
        p.undo.AddCommand(CcUndo::PictureChanged, "logo", {}, QByteArray("one"), QByteArray("two"));
        QStringList removed;
        connect(&p.undo, &CcUndo::pictureRemoved, this, [&](const QString& name) { removed << name; });

        QByteArray bytes;
        p.undo.UndoCommand();
        QVERIFY(pictures.read("logo", bytes));
        QCOMPARE(bytes, QByteArray("one"));
        p.undo.UndoCommand();
        bool found = true;
        QVERIFY(pictures.contains("logo", found));
        QVERIFY(!found);
        QCOMPARE(removed, QStringList{"logo"});
        p.undo.RedoCommand();
        p.undo.RedoCommand();
        QVERIFY(pictures.read("logo", bytes));
        QCOMPARE(bytes, QByteArray("two"));
    }

    void replaceAllIsOneStep()
    {
        UndoProject p;
        p.addControls(25);
        const QString before = p.snapshot();
        FindReplace finder(p.decisions);
        finder.setTree(&p.tree);
        SearchRequest request;
        request.text = QStringLiteral("Yes");
        request.replacement = QStringLiteral("Oui");
        request.area = SearchRequest::DecisionTree;
        QCOMPARE(finder.ReplaceAll(request).replaced, 25);
        QCOMPARE(p.undo.UndoCount(), 1);
        p.undo.UndoCommand();
        QCOMPARE(p.snapshot(), before);
    }

    void historyIsTwentyDeep()
    {
        UndoProject p;
        p.addControls(1);
        for (int i = 1; i <= 25; ++i)
            SetProperty(*control(p, 1), CaptionLabel, QString::number(i));
        QCOMPARE(p.undo.UndoCount(), CcUndo::Depth);
        for (int i = 0; i < 25; ++i)
            p.undo.UndoCommand();
        QCOMPARE(control(p, 1)->Caption(), QStringLiteral("5"));
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.undo.RedoCount(), CcUndo::Depth);
    }

    void newEditEmptiesRedoAndSameValueRecordsNothing()
    {
        UndoProject p;
        p.addControls(2);
        SetProperty(*control(p, 2), CaptionLabel, "A");
        SetProperty(*control(p, 2), CaptionLabel, "A");
        QCOMPARE(p.undo.UndoCount(), 1);
        p.undo.UndoCommand();
        QCOMPARE(p.undo.RedoCount(), 1);
        SetProperty(*control(p, 2), CaptionLabel, "B");
        QCOMPARE(p.undo.RedoCount(), 0);
        QCOMPARE(p.undo.UndoCount(), 1);
    }

    void openingOrSavingStartsAnEmptyHistory()
    {
        UndoProject p;
        p.addControls(2);
        SetProperty(*control(p, 2), CaptionLabel, "A");
        p.undo.UndoCommand();
        SetProperty(*control(p, 2), CaptionLabel, "B");
        // The timed working copy writes the model too, and keeps the history.
        emit p.document.aboutToSave();
        QCOMPARE(p.undo.UndoCount(), 1);
        emit p.document.saved();
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.undo.RedoCount(), 0);
        SetProperty(*control(p, 2), CaptionLabel, "C");
        p.decisions.Clear();
        QCOMPARE(p.undo.UndoCount(), 0);
        QCOMPARE(p.undo.RedoCount(), 0);
    }

    // Random edits of a small project, undone as far as the history reaches and redone again,
    // pass back through every state they left.
    void randomEditsUndoAndRedoThroughEveryState()
    {
        QRandomGenerator random(20261206);
        for (int sequence = 0; sequence < 200; ++sequence) {
            UndoProject p;
            p.addControls(3);
            p.addSelector();
            const int length = 1 + static_cast<int>(random.bounded(24));
            int recorded = 0;
            connect(&p.undo, &CcUndo::commandRecorded, this, [&recorded] { ++recorded; });
            QStringList states{p.snapshot()};
            for (int step = 0; step < length; ++step) {
                const int before = recorded;
                randomEdit(p, random);
                const QString now = p.snapshot();
                if (recorded != before || now != states.last())
                    states << now;
            }
            const int reach = std::min<int>(static_cast<int>(states.size()) - 1, CcUndo::Depth);
            QCOMPARE(int{p.undo.UndoCount()}, reach);
            for (int back = 1; back <= reach; ++back) {
                p.undo.UndoCommand();
                QVERIFY2(p.snapshot() == states.at(states.size() - 1 - back),
                         qPrintable(QStringLiteral("sequence %1, undo %2").arg(sequence).arg(back)));
            }
            for (int forward = reach - 1; forward >= 0; --forward) {
                p.undo.RedoCommand();
                QVERIFY2(p.snapshot() == states.at(states.size() - 1 - forward),
                         qPrintable(QStringLiteral("sequence %1, redo to %2").arg(sequence).arg(forward)));
            }
        }
    }

private:
    static double coordinate(QRandomGenerator& random) { return static_cast<double>(random.bounded(500)); }

    static void randomEdit(UndoProject& p, QRandomGenerator& random)
    {
        const QStringList keys = p.decisions.Keys();
        CmDecisionItem* item = p.decisions.Item(keys.at(static_cast<int>(random.bounded(keys.size()))));
        const QString word = QStringLiteral("w%1").arg(random.bounded(5));
        CvCriteriaList* grid = p.editor();
        switch (random.bounded(grid ? 11 : 7)) {
        case 0: p.tree.AddNew(QPointF(coordinate(random), -coordinate(random)), 1); break;
        case 1: p.view.Canvas().DeleteEntity(item->intID()); break;
        case 2: p.view.Canvas().MoveEntity(item->intID(), QPointF(coordinate(random), coordinate(random))); break;
        case 3: {
            static constexpr int labels[] = {CaptionLabel, PictureLabel, MinimumLabel, MaximumLabel, HelpUrlLabel};
            SetProperty(*item, labels[random.bounded(5)], word);
            break;
        }
        case 4: {
            const CmDecisionItem* target = p.decisions.Item(keys.at(static_cast<int>(random.bounded(keys.size()))));
            item->setOptsAndActs(MLinkUtil::AddLinkLines(item->OptsAndActs(), random.bounded(2) ? word : QString(),
                                                         QString(), target->strID()));
            break;
        }
        case 5: item->EditHeading(QStringLiteral("<B>") + word + QStringLiteral("</B>")); break;
        case 6: item->setOptsAndActs({QStringLiteral("^") + word}); break;
        case 7: editCell(*grid, 1 + static_cast<int>(random.bounded(3)), static_cast<int>(random.bounded(3)), word); break;
        case 8:
            grid->setCurrentCell(1 + static_cast<int>(random.bounded(3)), static_cast<int>(random.bounded(3)));
            random.bounded(2) ? grid->InsertRow() : grid->DeleteRow();
            break;
        case 9:
            grid->setCurrentCell(1, 1 + static_cast<int>(random.bounded(2)));
            random.bounded(2) ? grid->InsertColumn() : grid->DeleteColumn();
            break;
        default:
            grid->setCurrentCell(1, static_cast<int>(random.bounded(3)));
            grid->RenameColumn(word);
            break;
        }
    }
};

KV_REGISTER_TEST(TestUndo)
#include "tst_Undo.moc"
