#include "common/TestRegistry.h"
#include "tests/views/RunningDesigner.h"

#include "app/CController.h"
#include "project/CModel.h"
#include "project/CvProject.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "app/CommandBand.h"
#include "app/ToolId.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "edit/CcEdit.h"
#include "edit/CcUndo.h"
#include "edit/OptionsEditSession.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"
#include "model/CmDecisionManager.h"
#include "model/RulesText.h"
#include "views/CommandBars.h"
#include "views/DiagramWindow.h"
#include "views/MainWindow.h"
#include "views/OptionsEditor.h"
#include "views/OptionsEditorHost.h"
#include "views/StatementPanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

namespace {

struct Designer : RunningDesigner {
    Designer()
    {
        main().resize(1100, 760);
        main().show();
    }
    MainWindow& main() const { return *windows.mainWindow(); }
    QAction* action(int id) const { return main().commandBars().action(id); }
    QDockWidget* dock() const { return main().findChild<QDockWidget*>(QLatin1String(OptionsEditorHost::DockName)); }
    OptionsEditor* editor() const { return main().findChild<OptionsEditor*>(); }
    CmDecisionManager& decisions() const { return gApp->Model().Decisions(); }
    // Reads controls in as a rules text; nothing is recorded for undo.
    bool read(const QString& rules) const { return RulesText::Read(rules, decisions()).ok; }
};

// The tree widget's lines, parents before children, as the block keeps them.
QStringList treeLines(const QTreeWidget& tree)
{
    QStringList lines;
    const std::function<void(const QTreeWidgetItem&)> walk = [&](const QTreeWidgetItem& item) {
        for (int i = 0; i < item.childCount(); ++i) {
            lines.append(item.child(i)->text(0));
            walk(*item.child(i));
        }
    };
    if (tree.topLevelItemCount() == 1)
        walk(*tree.topLevelItem(0));
    return lines;
}

QTreeWidgetItem* itemWithText(const QTreeWidget& tree, const QString& text)
{
    const QList<QTreeWidgetItem*> found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QString sampleRules()
{
    QFile file(QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The format at a position of a line of the text editor.
QTextCharFormat formatAt(const QPlainTextEdit& edit, int line, int position)
{
    const QTextBlock block = edit.document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (position >= range.start && position < range.start + range.length)
            return range.format;
    }
    return {};
}

} // namespace

// The options editor in the Designer: how it opens, what its tree and its text do to the
// control, and that the edits reach the stored records and the undo history.
class TestOptionEditors : public QObject {
    Q_OBJECT

private slots:
    void doubleClickAndCommandOpenTheEditor();
    void goldenDecisionsBothWays();
    void statementEditsAreUndoableAndStored();
    void anotherControlStartsWithEmptyFields();
    void textIsCheckedAndColouredAsTyped();
    void commandsTakeTheTypedText();
    void itemEditingAndMoves();
    void referencesFollowTheProjectsSelectors();
};

void TestOptionEditors::doubleClickAndCommandOpenTheEditor()
{
    Designer designer;
    QVERIFY(designer.dock());
    QVERIFY(designer.dock()->isHidden());
    designer.action(+ToolId::OpenDecisionTree)->trigger();
    auto* window = designer.main().findChild<DiagramWindow*>(QStringLiteral("frmDecisionTree"));
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(&designer.main()));
    CcDecisionTree& tree = gApp->Controller().DecisionTree();
    CmDecisionItem* first = tree.AddNew(QPointF(0, 0), 1);
    CmDecisionItem* second = tree.AddNew(QPointF(400, 0), 1);
    QVERIFY(first && second);
    first->setOptsAndActs({"^Yes", "!GO " + second->strID()});
    window->centerOn(0, 0);
    QTest::mouseDClick(window->viewport(), Qt::LeftButton, {},
                       window->mapFromScene(DiagramWindow::toScene(QPointF(0, 0))));
    QVERIFY(!designer.dock()->isHidden());
    QVERIFY(designer.action(+ToolId::ShowOptionsEditor)->isChecked());
    QCOMPARE(treeLines(*designer.editor()->treeWidget()), first->OptsAndActs());

    // Hidden from the View menu; the command brings it back on the selected control.
    designer.action(+ToolId::ShowOptionsEditor)->trigger();
    QVERIFY(designer.dock()->isHidden());
    tree.SelectDecision(second->intID());
    gApp->View().UpdateBand(QStringLiteral("mnuDTEntityPopup"));
    QVERIFY(designer.action(+ToolId::EditOptionsAndActions)->isEnabled());
    designer.action(+ToolId::EditOptionsAndActions)->trigger();
    QVERIFY(!designer.dock()->isHidden());
    QVERIFY(designer.editor()->titleLabel()->text().contains(second->strID()));
    // The title names the interface the control has now.
    second->setIntControl(MDecisionDataUtil::MultiList);
    QVERIFY(designer.editor()->titleLabel()->text().contains(MDecisionDataUtil::ControlDisplayName(MDecisionDataUtil::MultiList)));
    second->setIntControl(MDecisionDataUtil::Radio);
    QVERIFY2(designer.editor()->titleLabel()->text().contains(MDecisionDataUtil::ControlDisplayName(MDecisionDataUtil::Radio)),
             qPrintable(designer.editor()->titleLabel()->text()));
}

void TestOptionEditors::goldenDecisionsBothWays()
{
    Designer designer;
    QVERIFY(designer.read(sampleRules()));
    QVERIFY(designer.decisions().Count() > 5);
    OptionsEditor& editor = *designer.editor();
    const qint16 undoCount = gApp->View().UndoCount();
    int withBlocks = 0;
    for (int i = 1; i <= designer.decisions().Count(); ++i) {
        CmDecisionItem* decision = designer.decisions().ItemByIndex(i);
        designer.decisions().setSelected(decision);
        const QStringList lines = decision->OptsAndActs();
        withBlocks += lines.filter(QStringLiteral("!IF")).size();
        QCOMPARE(treeLines(*editor.treeWidget()), lines);
        editor.showPage(OptionsEditor::Page::Text);
        const QString text = editor.textEdit()->toPlainText();
        // The text has one line per line of the block, in order, indented by depth.
        QStringList trimmed;
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            trimmed.append(line.trimmed());
        QCOMPARE(trimmed, lines);
        // Written back as it stands, it changes nothing.
        editor.textEdit()->setPlainText(text);
        editor.showPage(OptionsEditor::Page::Tree);
        QCOMPARE(decision->OptsAndActs(), lines);
        QCOMPARE(treeLines(*editor.treeWidget()), lines);
    }
    QVERIFY(withBlocks > 0);
    QCOMPARE(gApp->View().UndoCount(), undoCount);
}

// A line loaded from one control is never added to the next one opened.
void TestOptionEditors::anotherControlStartsWithEmptyFields()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tStart\t\t\t\"\"\tRadio\t^Yes\t!GO Next\t^No\t\r\n"
                                         "2\t\tNext\t\t\t\"\"\tRadio\t^Maybe\t\r\n")));
    designer.decisions().setSelected(designer.decisions().Item(QStringLiteral("Start")));
    OptionsEditor& editor = *designer.editor();
    StatementPanel& statement = *editor.statement();
    editor.treeWidget()->setCurrentItem(itemWithText(*editor.treeWidget(), QStringLiteral("!GO Next")));
    QCOMPARE(statement.line(), QStringLiteral("!GO Next"));
    CmDecisionItem* next = designer.decisions().Item(QStringLiteral("Next"));
    designer.decisions().setSelected(next);
    QVERIFY2(statement.line() != QStringLiteral("!GO Next"), qPrintable(statement.line()));
    QTest::mouseClick(statement.addButton(), Qt::LeftButton);
    QVERIFY(!next->OptsAndActs().contains(QStringLiteral("!GO Next")));
}

void TestOptionEditors::statementEditsAreUndoableAndStored()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tStart\t\t\t\"\"\tRadio\t^Yes\t!GO Next\t^No\t\r\n"
                                         "2\t\tNext\t\t\t\"\"\tCheck\t^Checked\t^Not Checked\t\r\n")));
    CmDecisionItem* start = designer.decisions().Item(QStringLiteral("Start"));
    designer.decisions().setSelected(start);
    OptionsEditor& editor = *designer.editor();
    QTreeWidget& tree = *editor.treeWidget();
    StatementPanel& statement = *editor.statement();

    // Under "^No": a !SET and an !IF whose test the expression builder would write.
    tree.setCurrentItem(itemWithText(tree, QStringLiteral("^No")));
    statement.chooseKeyword(BlockLine::Set);
    statement.targetBox()->setEditText(QStringLiteral("Next"));
    statement.valueBox()->setText(QStringLiteral("\"Checked\""));
    QTest::mouseClick(statement.addButton(), Qt::LeftButton);
    statement.chooseKeyword(BlockLine::If);
    statement.valueBox()->setText(QStringLiteral("[[Next]] = \"Checked\""));
    QTest::keyClick(statement.valueBox(), Qt::Key_Return);
    statement.chooseKeyword(BlockLine::Go);
    statement.targetBox()->setEditText(QStringLiteral("Start"));
    QTest::mouseClick(statement.addButton(), Qt::LeftButton);
    const QStringList edited{"^Yes", "!GO Next", "^No", "!SET [[Next]] = \"Checked\"", "!IF [[Next]] = \"Checked\"",
                             "!GO Start", "!ENDIF"};
    QCOMPARE(start->OptsAndActs(), edited);
    QCOMPARE(treeLines(tree), edited);

    // Each line was one edit; the Edit menu takes them back one by one.
    gApp->View().UpdateBand(QStringLiteral("mnuEdit"));
    designer.action(+ToolId::Undo)->trigger();
    QCOMPARE(start->OptsAndActs(), edited.mid(0, 5) + QStringList{"!ENDIF"});
    QCOMPARE(treeLines(tree), start->OptsAndActs());
    designer.action(+ToolId::Redo)->trigger();
    QCOMPARE(start->OptsAndActs(), edited);

    // Saved, the stored records show the lines.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("edited.kvp"));
    designer.prompt.QueueText(path);
    QVERIFY(gApp->Controller().File().FileSaveAs());
    gApp.reset();
    QProcess records;
    records.start(QStringLiteral(KV_CLI_PATH), {QStringLiteral("records"), path});
    QVERIFY(records.waitForFinished(60000));
    const QString output = QString::fromUtf8(records.readAllStandardOutput());
    QCOMPARE(records.exitCode(), 0);
    QVERIFY2(output.contains(edited.join(QLatin1Char('\t')) + QLatin1Char('\t')), qPrintable(output));
}

void TestOptionEditors::textIsCheckedAndColouredAsTyped()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tAge\t\t\t\"\"\tNumBox\t^1-10\t!GO Age\t\r\n")));
    designer.decisions().setSelected(designer.decisions().Item(QStringLiteral("Age")));
    OptionsEditor& editor = *designer.editor();
    editor.showPage(OptionsEditor::Page::Text);
    QPlainTextEdit& text = *editor.textEdit();
    QCOMPARE(editor.findingList()->count(), 1);
    QCOMPARE(editor.findingList()->item(0)->text(), LoadResString(33590));

    QTextCursor end = text.textCursor();
    end.movePosition(QTextCursor::End);
    text.setTextCursor(end);
    QTest::keyClicks(&text, QStringLiteral("^ten"));
    QTest::keyClick(&text, Qt::Key_Return);
    QTest::keyClick(&text, Qt::Key_Tab);
    QTest::keyClicks(&text, QStringLiteral("!IF [[Nobody]] > 1"));
    QVERIFY(editor.textPending());
    editor.checkText();
    QStringList shown;
    for (int i = 0; i < editor.findingList()->count(); ++i)
        shown.append(editor.findingList()->item(i)->text());
    // The range rule, then the unknown control and the missing !ENDIF, by line.
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown.at(0).startsWith(LoadResString(33591).arg(3).arg(QString())), qPrintable(shown.join('|')));
    QVERIFY2(shown.at(1).contains(LoadResString(12504)), qPrintable(shown.join('|')));
    // Keywords and references are coloured; the faulty lines are underlined.
    QVERIFY(formatAt(text, 1, 2).fontWeight() == QFont::Bold);
    QCOMPARE(formatAt(text, 3, 5).foreground(), formatAt(text, 3, 6).foreground());
    QCOMPARE(formatAt(text, 3, 5).underlineStyle(), QTextCharFormat::WaveUnderline);
    QCOMPARE(formatAt(text, 0, 1).underlineStyle(), QTextCharFormat::NoUnderline);

    // Leaving the text reads it in: the lines as typed, in the order typed.
    editor.showPage(OptionsEditor::Page::Tree);
    QCOMPARE(designer.decisions().Item(QStringLiteral("Age"))->OptsAndActs(),
             (QStringList{"^1-10", "!GO Age", "^ten", "!IF [[Nobody]] > 1"}));
    QVERIFY(!editor.textPending());
    // The line at the caret is selected, and the statement editor holds it: Apply replaces it.
    QCOMPARE(editor.statement()->line(), QStringLiteral("!IF [[Nobody]] > 1"));
    editor.statement()->valueBox()->setText(QStringLiteral("[[Age]] > 1"));
    QTest::mouseClick(editor.statement()->replaceButton(), Qt::LeftButton);
    QCOMPARE(designer.decisions().Item(QStringLiteral("Age"))->OptsAndActs().at(3), QStringLiteral("!IF [[Age]] > 1"));
    // So does a finding that selects its line.
    editor.checkText();
    const int findings = editor.findingList()->count();
    QVERIFY(findings > 0);
    emit editor.findingList()->itemActivated(editor.findingList()->item(0));
    QCOMPARE(editor.statement()->line(), QStringLiteral("^ten"));
}

void TestOptionEditors::commandsTakeTheTypedText()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tAge\t\t\t\"\"\tNumBox\t^1-10\t!GO Age\t\r\n")));
    CmDecisionItem* age = designer.decisions().Item(QStringLiteral("Age"));
    designer.decisions().setSelected(age);
    const QStringList edited{"^1-10", "!GO Age", "^21-30"};
    age->setOptsAndActs(edited);
    OptionsEditor& editor = *designer.editor();
    editor.showPage(OptionsEditor::Page::Text);
    QPlainTextEdit& text = *editor.textEdit();
    QTextCursor end = text.textCursor();
    end.movePosition(QTextCursor::End);
    text.setTextCursor(end);
    QTest::keyClicks(&text, QStringLiteral("^11-20"));
    QVERIFY(editor.textPending());

    // Undo from the menu first takes the typing in as one edit, then takes that edit back,
    // not the one before it.
    gApp->View().UpdateBand(QStringLiteral("mnuEdit"));
    designer.action(+ToolId::Undo)->trigger();
    QVERIFY(!editor.textPending());
    QCOMPARE(age->OptsAndActs(), edited);
    QCOMPARE(editor.textEdit()->toPlainText().trimmed(), QStringLiteral("^1-10\n\t!GO Age\n^21-30"));
    designer.action(+ToolId::Redo)->trigger();
    QCOMPARE(age->OptsAndActs(), edited + QStringList{"^11-20"});
}

void TestOptionEditors::itemEditingAndMoves()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tPick\t\t\t\"\"\tRadio\t^A\t!GO Pick\t!IF [[Pick]] = \"B\"\t!GO Pick\t"
                                         "!ENDIF\t^B\t\r\n")));
    CmDecisionItem* pick = designer.decisions().Item(QStringLiteral("Pick"));
    designer.decisions().setSelected(pick);
    OptionsEditor& editor = *designer.editor();
    QTreeWidget& tree = *editor.treeWidget();

    // The keys reach the tree of a shown editor in the active window.
    designer.action(+ToolId::ShowOptionsEditor)->trigger();
    QVERIFY(!designer.dock()->isHidden());
    designer.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&designer.main()));
    // The !IF moves up past the !GO with its branch and its !ENDIF.
    tree.setCurrentItem(itemWithText(tree, QStringLiteral("!IF [[Pick]] = \"B\"")));
    QVERIFY(editor.action(OptionsEditor::Command::MoveUp)->isEnabled());
    QVERIFY(!editor.action(OptionsEditor::Command::MoveDown)->isEnabled());
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(pick->OptsAndActs(), (QStringList{"^A", "!IF [[Pick]] = \"B\"", "!GO Pick", "!ENDIF", "!GO Pick", "^B"}));
    // Its !ENDIF neither moves nor goes alone.
    tree.setCurrentItem(itemWithText(tree, QStringLiteral("!ENDIF")));
    QVERIFY(!editor.action(OptionsEditor::Command::Remove)->isEnabled());
    QVERIFY(!editor.action(OptionsEditor::Command::MoveDown)->isEnabled());
    QVERIFY(editor.action(OptionsEditor::Command::AddElse)->isEnabled());

    // A line edited in place is the control's line.
    QTreeWidgetItem* option = itemWithText(tree, QStringLiteral("^B"));
    tree.setCurrentItem(option);
    option->setText(0, QStringLiteral("C"));
    QCOMPARE(pick->OptsAndActs().last(), QStringLiteral("^C"));
    // Help needs an option; Delete removes the selected group.
    QVERIFY(editor.action(OptionsEditor::Command::AddHelp)->isEnabled());
    tree.setCurrentItem(itemWithText(tree, QStringLiteral("^C")));
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Delete);
    QCOMPARE(pick->OptsAndActs(), (QStringList{"^A", "!IF [[Pick]] = \"B\"", "!GO Pick", "!ENDIF", "!GO Pick"}));

    // The tool bar's access keys, named in its tips: Alt+S closes the branch with an !ELSE, Alt+O
    // starts an option.
    const QString removeKeys = QKeySequence(Qt::ALT | Qt::Key_R).toString(QKeySequence::NativeText) + QStringLiteral(", ")
                               + QKeySequence(QKeySequence::Delete).toString(QKeySequence::NativeText);
    QCOMPARE(editor.action(OptionsEditor::Command::Remove)->toolTip(),
             LoadResString(33622).arg(LoadResString(33569).remove(QLatin1Char('&')), removeKeys));
    tree.setCurrentItem(itemWithText(tree, QStringLiteral("!IF [[Pick]] = \"B\""))->child(0));
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(pick->OptsAndActs(), (QStringList{"^A", "!IF [[Pick]] = \"B\"", "!GO Pick", "!ELSE", "!ENDIF", "!GO Pick"}));
    QTest::keyClick(&tree, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), editor.statement()->valueBox());
    QTest::keyClicks(editor.statement()->valueBox(), QStringLiteral("D"));
    QTest::keyClick(editor.statement()->valueBox(), Qt::Key_Return);
    QCOMPARE(pick->OptsAndActs().last(), QStringLiteral("^D"));
}

KV_REGISTER_TEST(TestOptionEditors)
#include "tst_OptionEditors.moc"

// The check of the open control follows the project's selectors: one made while the control is
// open is no longer flagged as no selector.
void TestOptionEditors::referencesFollowTheProjectsSelectors()
{
    Designer designer;
    QVERIFY(designer.read(QStringLiteral("1\t\tPick\t\t\t\"\"\tdList\t^Fruit\t!GO Pick\t\r\n")));
    designer.decisions().setSelected(designer.decisions().Item(QStringLiteral("Pick")));
    OptionsEditor& editor = *designer.editor();
    // The finding that names the option as no selector.
    const auto flagged = [&editor] {
        for (int i = 0; i < editor.findingList()->count(); ++i) {
            if (editor.findingList()->item(i)->text().contains(QStringLiteral("Fruit")))
                return true;
        }
        return false;
    };
    QVERIFY(flagged());

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    designer.prompt.QueueText(QStringLiteral("Fruit"));
    designer.action(+ToolId::NewSelector)->trigger();
    QVERIFY(gApp->View().Project().CLExists(QStringLiteral("Fruit")));
    QVERIFY(!flagged());
    QCOMPARE(treeLines(*editor.treeWidget()), (QStringList{"^Fruit", "!GO Pick"}));
}
