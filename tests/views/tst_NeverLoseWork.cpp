#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "common/TestRegistry.h"
#include "edit/CanvasModel.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CvDecisionTree.h"
#include "edit/FindReplace.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/DecisionProperties.h"
#include "model/RulesText.h"
#include "project/CModel.h"
#include "project/Project.h"
#include "selectors/CvCriteriaList.h"
#include "tests/views/RunningDesigner.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/DocumentArea.h"
#include "views/MainWindow.h"
#include "views/OptionsEditor.h"
#include "views/frmCriteriaList.h"

#include "selectors/SelectorStore.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QApplication>
#include <QDialog>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int SaveQuestionId = 12001;
constexpr int CannotDeleteFirstId = 12100;
constexpr int InputRefusedId = 34900;

// Controls C1..Cn, each going on to the next one.
QString chainRules(int count)
{
    QString rules;
    for (int i = 1; i <= count; ++i) {
        const QString next = i < count ? QStringLiteral("!GO C%1").arg(i + 1) : QString();
        rules += QStringLiteral("%1\t\tC%1\t\t\t\"\"\tList\t^Yes\t%2\t\r\n").arg(i).arg(next);
    }
    return rules;
}

struct Designer : RunningDesigner {
    QTemporaryDir folder;

    Designer()
    {
        main().resize(1100, 760);
        main().show();
    }
    MainWindow& main() const { return *windows.mainWindow(); }
    QAction* action(int id) const { return main().commandBars().action(id); }
    Project& project() const { return gApp->OpenProject(); }
    CmDecisionManager& decisions() const { return project().Decisions(); }
    CmDocument& document() const { return project().Document(); }
    DiagramWindow* openDiagram() const
    {
        action(+ToolId::OpenDecisionTree)->trigger();
        return main().findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree"));
    }
    // A saved project of count chained controls, opened in the Designer.
    bool openChain(int count)
    {
        if (!RulesText::Read(chainRules(count), decisions()).ok)
            return false;
        const QString path = folder.filePath(QStringLiteral("chain.kvp"));
        if (!document().SaveFileAs(path).done())
            return false;
        return gApp->Controller().File().FileOpen(path);
    }
    bool saveQuestionShown() const { return prompt.shownTexts().contains(LoadResString(SaveQuestionId)); }
    // File > Close, cancelled at the save question if there is one: true when it was asked.
    bool closeAsks()
    {
        prompt.clearShown();
        prompt.QueueAnswer(PromptAnswer::Cancel);
        action(+ToolId::FileClose)->trigger();
        prompt.clearQueued();
        return saveQuestionShown();
    }
    // Replace All over the tree, whole words; how many were replaced.
    qint64 replaceAll(const QString& text, const QString& replacement) const
    {
        SearchRequest request;
        request.text = text;
        request.replacement = replacement;
        request.options.wholeWord = true;
        request.area = SearchRequest::DecisionTree;
        return project().Edit().Finder().ReplaceAll(request).replaced;
    }
    // A new internal selector "Fruit" through the tool, its type dialog taking its default.
    void newSelector()
    {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        prompt.QueueText(QStringLiteral("Fruit"));
        action(+ToolId::NewSelector)->trigger();
    }
    void selectEverything(DiagramWindow& window) const
    {
        CanvasModel& canvas = project().Canvas();
        for (const auto& [key, entity] : canvas.AllEntities())
            canvas.Select(key, true);
        QVERIFY(window.isVisible());
    }
};

// A selector's rows as the author reads them: cells without the stored form's quotes and line ends.
QString tableRows(const QString& stored)
{
    QStringList rows;
    for (QString line : stored.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char('\r'));
        QStringList cells = line.split(QLatin1Char(','));
        for (QString& cell : cells) {
            if (cell.size() >= 2 && cell.startsWith(QLatin1Char('"')) && cell.endsWith(QLatin1Char('"')))
                cell = cell.mid(1, cell.size() - 2);
        }
        rows.append(cells.join(QLatin1Char(',')));
    }
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows.join(QLatin1Char('\n'));
}

// What the author saw of the project: its records, its selectors' tables (an open grid's as it
// shows them) and its layout.
QString projectDump(const Project& project, const CvCriteriaList* grid)
{
    QString table;
    if (grid) {
        for (const QStringList& row : grid->UsedCells())
            table += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    } else {
        SelectorStore(project.Document().Storage()).ReadText(QStringLiteral("Fruit"), table);
    }
    return RulesText::Records(project.Decisions()).join(QLatin1Char('\n')) + QStringLiteral("\n--\n")
           + tableRows(table) + QStringLiteral("\n--\n") + project.Canvas().LayoutText();
}

QString savedDump(const QString& path)
{
    ScriptedPrompt prompt;
    Project saved(prompt);
    saved.Document().setKeepsWorkingCopy(false);
    if (!saved.Open(path))
        return QStringLiteral("(does not open)");
    return projectDump(saved, nullptr);
}

} // namespace

// What the author changes is never lost: every change reaches the one revision, a close asks
// while anything is unsaved, and the windows never act on what is gone.
class TestNeverLoseWork : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gApp.reset(); }

    void deletingASelectionIsOneStepAndClosingAfterwardsIsClean()
    {
        Designer designer;
        QVERIFY(designer.openChain(30));
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        gApp->Controller().DecisionTree().ZoomExtents();
        designer.selectEverything(*window);
        designer.prompt.clearShown();
        QTest::keyClick(window, Qt::Key_Delete);
        // Asked once, before anything went; the other 29 went in the tree's order.
        QCOMPARE(designer.prompt.shownTexts(), QStringList{LoadResString(CannotDeleteFirstId)});
        QCOMPARE(designer.decisions().Count(), 1);
        QCOMPARE(designer.project().Edit().Undo().UndoCount(), 1);
        QVERIFY(designer.document().Dirty());

        designer.action(+ToolId::Undo)->trigger();
        QCOMPARE(designer.decisions().Count(), 30);
        QCOMPARE(designer.project().Canvas().AllEntities().size(), size_t(30));
        for (int i = 0; i < 40; ++i) {
            if (designer.action(+ToolId::Undo)->isEnabled())
                designer.action(+ToolId::Undo)->trigger();
        }
        // Closing clears the diagram while its items are selected: nothing reads them after.
        designer.prompt.QueueAnswer(PromptAnswer::No);
        designer.action(+ToolId::FileClose)->trigger();
        QCOMPARE(designer.decisions().Count(), 0);
        QVERIFY(!designer.main().windowTitle().contains(QStringLiteral("chain")));
    }

    void everyKindOfEditLeavesTheProjectUnsaved_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("rename") << QStringLiteral("rename");
        QTest::newRow("replace all") << QStringLiteral("replace all");
        QTest::newRow("grid cell") << QStringLiteral("grid cell");
    }
    void everyKindOfEditLeavesTheProjectUnsaved()
    {
        QFETCH(QString, edit);
        Designer designer;
        QVERIFY(designer.openChain(5));
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        frmCriteriaList* grid = nullptr;
        if (edit == QLatin1String("grid cell")) {
            designer.newSelector();
            grid = designer.main().findChild<frmCriteriaList*>();
            QVERIFY(grid);
        }
        QVERIFY(gApp->Controller().File().FileSave());
        QVERIFY(!designer.document().Dirty());
        QVERIFY(!designer.main().isWindowModified());

        if (edit == QLatin1String("rename")) {
            gApp->Controller().DecisionTree().SelectDecision(3);
            designer.prompt.QueueText(QStringLiteral("Middle"));
            QTest::keyClick(window, Qt::Key_F2);
            QVERIFY(designer.decisions().Item(QStringLiteral("Middle")));
            // The reference to it followed.
            QVERIFY(designer.decisions().Item(QStringLiteral("C2"))->OptsAndActs().contains(QStringLiteral("!GO Middle")));
        } else if (edit == QLatin1String("replace all")) {
            QVERIFY(designer.replaceAll(QStringLiteral("C4"), QStringLiteral("Fourth")) > 0);
        } else {
            CvCriteriaList& list = grid->List();
            list.setCurrentCell(1, 0);
            list.GridEdit(QLatin1Char('P'));
            list.setEditText(QStringLiteral("Pear"));
            list.CommitEdit();
        }
        QVERIFY(designer.document().Dirty());
        QVERIFY(designer.main().isWindowModified());
        QVERIFY(designer.closeAsks());
    }

    void aKeyPressedDuringASaveIsRefusedAndSaysWhy()
    {
        Designer designer;
        QVERIFY(designer.openChain(5));
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        gApp->Controller().DecisionTree().SelectDecision(3);
        designer.document().MarkChanged();
        QStringList statuses;
        connect(&gApp->View(), &CView::statusChanged, this, [&](const QString& text) { statuses.append(text); });
        bool pressed = false;
        const QMetaObject::Connection during =
            connect(&gApp->View(), &CView::progressChanged, this, [&] {
                if (pressed || !designer.document().Busy())
                    return;
                pressed = true;
                QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier));
            });
        QVERIFY(gApp->Controller().File().FileSave());
        disconnect(during);
        QVERIFY(pressed);
        QCoreApplication::processEvents();
        QCOMPARE(designer.decisions().Count(), 5);
        QVERIFY(!designer.document().Dirty());
        QVERIFY2(statuses.contains(LoadResString(InputRefusedId)), qPrintable(statuses.join(QLatin1Char('|'))));
    }

    void anEditDuringASaveStaysUnsavedAndTheNextSaveWritesIt()
    {
        Designer designer;
        QVERIFY(designer.openChain(5));
        // The save is held open at its first progress report, and the author edits then.
        bool edited = false;
        const QMetaObject::Connection during =
            connect(&gApp->View(), &CView::progressChanged, this, [&] {
                if (edited || !designer.document().Busy())
                    return;
                edited = true;
                designer.decisions().Item(QStringLiteral("C5"))->LoadEdited(
                    QStringLiteral("5\t\tC5\t\t\t\"\"\tList\t^Changed\t\t"));
            });
        QVERIFY(gApp->Controller().File().FileSave());
        disconnect(during);
        QVERIFY(edited);
        QVERIFY(designer.document().Dirty());
        QVERIFY(designer.main().isWindowModified());
        QVERIFY(gApp->Controller().File().FileSave());
        QVERIFY(!designer.document().Dirty());

        ScriptedPrompt prompt;
        Project reread(prompt);
        reread.Document().setKeepsWorkingCopy(false);
        designer.prompt.QueueAnswer(PromptAnswer::No);
        designer.action(+ToolId::FileClose)->trigger();
        QVERIFY(reread.Inspect(designer.folder.filePath(QStringLiteral("chain.kvp"))));
        QCOMPARE(reread.Decisions().Item(QStringLiteral("C5"))->OptsAndActs(), QStringList{QStringLiteral("^Changed")});
    }

    // Seeded random sequences of the author's edits, saves, undo and redo, and an edit while a
    // save is held open, each ending with Close: either the close asks, or the file holds what
    // the author last saw.
    void randomEditingNeverLosesWork();

    void theOptionsEditorFollowsAReplaceAllInAnotherControl()
    {
        Designer designer;
        QVERIFY(designer.openChain(6));
        designer.action(+ToolId::ShowOptionsEditor)->trigger();
        auto* editor = designer.main().findChild<OptionsEditor*>();
        QVERIFY(editor);
        designer.decisions().setSelected(designer.decisions().Item(QStringLiteral("C4")));
        editor->showPage(OptionsEditor::Page::Text);
        QVERIFY(editor->textEdit()->toPlainText().contains(QStringLiteral("!GO C5")));

        QVERIFY(designer.replaceAll(QStringLiteral("C5"), QStringLiteral("C5Y")) > 0);
        QVERIFY(designer.decisions().Item(QStringLiteral("C5Y")));
        QVERIFY2(editor->textEdit()->toPlainText().contains(QStringLiteral("!GO C5Y")),
                 qPrintable(editor->textEdit()->toPlainText()));
        // Saving hands in what the editor shows: the new name, never the old one.
        QVERIFY(gApp->Controller().File().FileSave());
        QCOMPARE(designer.decisions().Item(QStringLiteral("C4"))->OptsAndActs().last(), QStringLiteral("!GO C5Y"));
    }
};


void TestNeverLoseWork::randomEditingNeverLosesWork()
{
    Designer designer;
    const QString base = designer.folder.filePath(QStringLiteral("base.kvp"));
    QVERIFY(RulesText::Read(chainRules(8), designer.decisions()).ok);
    QVERIFY(designer.document().SaveFileAs(base).done());
    const int sequences = qEnvironmentVariableIntValue("KV_NEVER_LOSE_WORK_SEQUENCES") > 0
                              ? qEnvironmentVariableIntValue("KV_NEVER_LOSE_WORK_SEQUENCES")
                              : 500;
    for (int seed = 1; seed <= sequences; ++seed) {
        QRandomGenerator random(static_cast<quint32>(seed));
        const QString path = designer.folder.filePath(QStringLiteral("sequence.kvp"));
        QFile::remove(path);
        QVERIFY(QFile::copy(base, path));
        // Windows of the previous sequence are gone before this one looks for its own.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gApp->Controller().File().FileOpen(path));
        DiagramWindow* window = designer.openDiagram();
        QVERIFY(window);
        designer.newSelector();
        // The grid goes when an undo takes the new selector back.
        const auto grid = [&designer]() -> CvCriteriaList* {
            for (frmCriteriaList* gridWindow : designer.main().findChildren<frmCriteriaList*>()) {
                if (gridWindow->isVisible())
                    return &gridWindow->List();
            }
            return nullptr;
        };
        QVERIFY(grid());
        QVERIFY(gApp->Controller().File().FileSave());
        CcDecisionTree& tree = gApp->Controller().DecisionTree();
        CmDecisionManager& decisions = designer.decisions();
        int names = 0;
        // An edit the author makes, by number; the same numbers give the same edits.
        const auto edit = [&](int kind) {
            const int count = decisions.Count();
            CmDecisionItem* some = decisions.ItemByIndex(1 + random.bounded(count));
            switch (kind) {
            case 0: tree.AddNew(QPointF(random.bounded(600), random.bounded(400)), 1); break;
            case 1: {
                designer.project().Canvas().DeselectAll();
                for (int i = 0; i < 1 + random.bounded(3); ++i)
                    designer.project().Canvas().Select(decisions.ItemByIndex(1 + random.bounded(count))->intID(), true);
                QTest::keyClick(window, Qt::Key_Delete);
                break;
            }
            case 2:
                tree.SelectDecision(some->intID());
                designer.prompt.QueueText(QStringLiteral("N%1x%2").arg(seed).arg(++names));
                QTest::keyClick(window, Qt::Key_F2);
                break;
            case 3: MDecisionDataUtil::SetProperty(*some, MDecisionDataUtil::CaptionLabel, QString::number(random.generate())); break;
            case 4: some->setOptsAndActs({QStringLiteral("^Yes"), QStringLiteral("!GO %1").arg(decisions.ItemByIndex(1)->strID())}); break;
            case 5:
                if (CvCriteriaList* list = grid()) {
                    list->setCurrentCell(1 + random.bounded(3), 0);
                    list->GridEdit(QLatin1Char('P'));
                    list->setEditText(QStringLiteral("P%1").arg(random.bounded(100)));
                    list->CommitEdit();
                }
                break;
            case 6: designer.replaceAll(some->strID(), some->strID() + QStringLiteral("R")); break;
            case 7:
                if (designer.action(+ToolId::Undo)->isEnabled())
                    designer.action(+ToolId::Undo)->trigger();
                break;
            case 8:
                if (designer.action(+ToolId::Redo)->isEnabled())
                    designer.action(+ToolId::Redo)->trigger();
                break;
            default: break;
            }
            designer.prompt.clearQueued();
        };
        for (int step = 0; step < 12; ++step) {
            const int kind = random.bounded(11);
            if (kind == 9) {
                QVERIFY(gApp->Controller().File().FileSave());
            } else if (kind == 10) {
                // A save held open while the author makes one more edit.
                const int injected = random.bounded(9);
                bool done = false;
                const QMetaObject::Connection during = connect(&gApp->View(), &CView::progressChanged, this, [&] {
                    if (done || !designer.document().Busy())
                        return;
                    done = true;
                    edit(injected == 7 || injected == 8 ? 3 : injected);
                });
                QVERIFY(gApp->Controller().File().FileSave());
                disconnect(during);
            } else {
                edit(kind);
            }
        }
        const QString seen = projectDump(designer.project(), grid());
        if (designer.closeAsks()) {
            designer.prompt.QueueAnswer(PromptAnswer::No);
            designer.action(+ToolId::FileClose)->trigger();
            continue;
        }
        const QString saved = savedDump(path);
        QVERIFY2(saved == seen, qPrintable(QStringLiteral("seed %1:\n%2\n differs from what was seen:\n%3").arg(seed).arg(saved, seen)));
    }
}

KV_REGISTER_TEST(TestNeverLoseWork)
#include "tst_NeverLoseWork.moc"
