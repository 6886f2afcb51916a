#include "common/TestRegistry.h"
#include "edit/UndoProject.h"

#include "edit/OptionsEditSession.h"
#include "lang/MTreeViewUtil.h"
#include "lang/OptionLines.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Session {
    UndoProject project;
    OptionsEditSession session{project.decisions};
    CmDecisionItem* first = nullptr;

    explicit Session(const QStringList& lines = {"^Yes", "!GO Control2", "^No", "!GO Control1"})
    {
        project.addControls(2);
        first = project.decisions.Item(QStringLiteral("Control1"));
        // Set as read: no undo record before the test's own edits.
        first->setOptsAndActsAsRead(lines);
        session.Open(first);
    }
    QStringList lines() const { return first->OptsAndActs(); }
};

// Whether every !IF of the lines is closed in its own option group (or among the pre-actions),
// with its !ELSEIF and !ELSE inside it.
bool blocksWhole(const QStringList& lines)
{
    int depth = 0;
    for (const QString& line : lines) {
        const QString keyword = line.section(QLatin1Char(' '), 0, 0);
        if (line.startsWith(QLatin1Char('^'))) {
            if (depth != 0)
                return false;
        } else if (keyword == QLatin1String("!IF")) {
            ++depth;
        } else if (keyword == QLatin1String("!ENDIF")) {
            if (--depth < 0)
                return false;
        } else if ((keyword == QLatin1String("!ELSE") || keyword == QLatin1String("!ELSEIF")) && depth == 0) {
            return false;
        }
    }
    return depth == 0;
}

} // namespace

// The options editor's work on one control: every edit reaches the control as one undoable
// change, and a change made elsewhere reaches the editor.
class TestOptionsEditSession : public QObject {
    Q_OBJECT

private slots:
    void editsAreUndoable();
    void blocksMoveWhole();
    void editsKeepBlocksWhole();
    void enableRules();
    void advancedTextKeepsOrder();
    void followsChangesElsewhere();
};

void TestOptionsEditSession::editsAreUndoable()
{
    Session s;
    const QStringList before = s.lines();
    s.session.SelectLine(0);
    QVERIFY(s.session.AddAction(QStringLiteral("!SET [[Control2]] = \"Yes\"")));
    const QStringList added{"^Yes", "!GO Control2", "!SET [[Control2]] = \"Yes\"", "^No", "!GO Control1"};
    QCOMPARE(s.lines(), added);
    QCOMPARE(s.project.undo.UndoCount(), qint16(1));
    QCOMPARE(s.session.SelectedLine(), 2);

    s.project.undo.UndoCommand();
    QCOMPARE(s.lines(), before);
    QCOMPARE(s.session.Lines(), before);
    s.project.undo.RedoCommand();
    QCOMPARE(s.session.Lines(), added);

    // A line replaced with the same text is no edit.
    s.session.SelectLine(2);
    QVERIFY(!s.session.ReplaceSelected(QStringLiteral("!SET [[Control2]] = \"Yes\"")));
    QVERIFY(s.session.ReplaceSelected(QStringLiteral("!SET [[Control2]] = \"No\"")));
    QVERIFY(s.session.RemoveSelected());
    QCOMPARE(s.lines(), before);
    QCOMPARE(s.project.undo.UndoCount(), qint16(3));
}

void TestOptionsEditSession::blocksMoveWhole()
{
    Session s;
    s.session.SelectLine(1);
    // An !IF comes with its !ENDIF, and what is added next goes into it.
    QVERIFY(s.session.AddAction(QStringLiteral("IF [[Control2]] = \"No\"")));
    QVERIFY(s.session.AddAction(QStringLiteral("GO Control1")));
    QVERIFY(s.session.AddAction(QStringLiteral("ELSE")));
    QCOMPARE(s.lines(), (QStringList{"^Yes", "!GO Control2", "!IF [[Control2]] = \"No\"", "!GO Control1", "!ELSE",
                                     "!ENDIF", "^No", "!GO Control1"}));
    QCOMPARE(s.session.SelectedLine(), 4);
    QVERIFY(!s.session.CanMoveUp());
    s.session.SelectLine(2);
    QVERIFY(s.session.MoveUp());
    QCOMPARE(s.lines(), (QStringList{"^Yes", "!IF [[Control2]] = \"No\"", "!GO Control1", "!ELSE", "!ENDIF",
                                     "!GO Control2", "^No", "!GO Control1"}));
    QCOMPARE(s.session.Selected()->text(), QStringLiteral("!IF [[Control2]] = \"No\""));
    // The option carries its group, block and all.
    s.session.SelectLine(0);
    QVERIFY(s.session.MoveDown());
    QCOMPARE(s.lines(), (QStringList{"^No", "!GO Control1", "^Yes", "!IF [[Control2]] = \"No\"", "!GO Control1",
                                     "!ELSE", "!ENDIF", "!GO Control2"}));
}

void TestOptionsEditSession::editsKeepBlocksWhole()
{
    // Any run of the editor's operations on any selection leaves every block whole, moves carry
    // lines without losing one, and undo takes each operation back.
    QRandomGenerator random(7);
    for (int round = 0; round < 60; ++round) {
        Session s({"!SET [[Control2]] = 1", "!IF [[Control2]] = 1", "!GO Control2", "!ENDIF", "^Yes", "?Say yes",
                   "!IF [[Control2]] = 2", "!IF [[Control2]] = 3", "!GO Control1", "!ELSE", "!ENDIF", "!ELSEIF 1 = 1",
                   "!GO Control2", "!ENDIF", "^No", "!GO Control1"});
        QList<QStringList> history{s.lines()};
        // Fewer steps than the undo history keeps.
        for (int step = 0; step < 15; ++step) {
            s.session.SelectLine(random.bounded(-1, int(s.lines().size())));
            const QStringList before = s.lines();
            bool changed = false;
            const int operation = random.bounded(8);
            switch (operation) {
            case 0: changed = s.session.CanMoveUp() && s.session.MoveUp(); break;
            case 1: changed = s.session.CanMoveDown() && s.session.MoveDown(); break;
            case 2: changed = s.session.CanRemove() && s.session.RemoveSelected(); break;
            case 3: changed = s.session.AddAction(QStringLiteral("!IF [[Control1]] = 4")); break;
            case 4: changed = s.session.CanAddElse() && s.session.AddAction(QStringLiteral("!ELSE")); break;
            case 5: changed = s.session.CanAddElseIf() && s.session.AddAction(QStringLiteral("!ELSEIF 2 = 2")); break;
            case 6: changed = s.session.CanAddOption() && s.session.AddOption(QStringLiteral("^Maybe")); break;
            case 7: changed = s.session.CanAddHelp() && s.session.AddHelp(QStringLiteral("?More")); break;
            }
            const QByteArray where = (before.join(QLatin1Char('|')) + QStringLiteral(" -> ") + s.lines().join(QLatin1Char('|'))).toUtf8();
            QVERIFY2(blocksWhole(s.lines()), where.constData());
            QVERIFY2(s.session.Lines() == s.lines(), where.constData());
            if (operation <= 1) {
                QStringList moved = s.lines();
                QStringList kept = before;
                moved.sort();
                kept.sort();
                QVERIFY2(moved == kept, where.constData());
            }
            if (changed)
                history.append(s.lines());
            else
                QVERIFY2(s.lines() == before, where.constData());
            QVERIFY2(s.project.undo.UndoCount() == history.size() - 1, where.constData());
        }
        while (history.size() > 1) {
            history.removeLast();
            s.project.undo.UndoCommand();
            QCOMPARE(s.lines(), history.last());
        }
    }
}

void TestOptionsEditSession::enableRules()
{
    Session s({"!SET [[Control2]] = 1", "^Yes", "!IF [[Control2]] = 1", "!GO Control2", "!ENDIF"});
    struct Row {
        int line;
        bool option, help, elseIf, elseBranch, edit, remove, up, down;
    };
    const Row rows[] = {
        {-1, true, false, false, false, false, false, false, false}, // the root
        {0, true, false, false, false, true, true, false, false},    // a pre-action
        {1, true, true, false, false, true, true, false, false},     // the only option
        {2, true, true, true, true, true, true, false, false},       // the !IF
        {3, true, true, true, true, true, true, false, false},       // inside the branch
        {4, true, true, true, true, true, false, false, false},      // its !ENDIF
    };
    for (const Row& row : rows) {
        s.session.SelectLine(row.line);
        const QByteArray where = QByteArray::number(row.line);
        QVERIFY2(s.session.CanAddOption() == row.option, where);
        QVERIFY2(s.session.CanAddAction(), where);
        QVERIFY2(s.session.CanAddHelp() == row.help, where);
        QVERIFY2(s.session.CanAddElseIf() == row.elseIf, where);
        QVERIFY2(s.session.CanAddElse() == row.elseBranch, where);
        QVERIFY2(s.session.CanEdit() == row.edit, where);
        QVERIFY2(s.session.CanRemove() == row.remove, where);
        QVERIFY2(s.session.CanMoveUp() == row.up, where);
        QVERIFY2(s.session.CanMoveDown() == row.down, where);
    }
    // A Check control's answers are its own two; nothing is edited without a control.
    s.first->setIntControl(MDecisionDataUtil::Check);
    QVERIFY(!s.session.CanAddOption());
    s.session.Open(nullptr);
    QVERIFY(!s.session.CanAddAction());
    QVERIFY(!s.session.AddAction(QStringLiteral("!GO Control1")));
}

void TestOptionsEditSession::advancedTextKeepsOrder()
{
    {
        // A TAB or a line break typed inside a line would split it where the block is stored.
        Session s{QStringList()};
        QVERIFY(s.session.ApplyAdvancedText(QStringLiteral("\t^Big\tsmall\r\n\t\t!GO\tControl2\r\n")));
        QCOMPARE(s.lines(), (QStringList{"^Big small", "!GO Control2"}));
        s.session.SelectLine(1);
        QVERIFY(s.session.AddAction(QStringLiteral("IF\t[[Control2]] = 1")));
        QVERIFY(s.session.AddHelp(QStringLiteral("?two\r\nlines")));
        s.session.SelectLine(0);
        QVERIFY(s.session.ReplaceSelected(QStringLiteral("^Big\tand tall")));
        QCOMPARE(s.lines(), (QStringList{"^Big and tall", "!GO Control2", "!IF [[Control2]] = 1", "?two  lines", "!ENDIF"}));
        QCOMPARE(MTreeViewUtil::OptsAndActsToCol(MTreeViewUtil::OptsAndActsToString(s.lines())), s.lines());
    }

    Session s;
    const QString text = s.session.AdvancedText();
    QCOMPARE(text, QStringLiteral("^Yes\r\n\t!GO Control2\r\n^No\r\n\t!GO Control1\r\n"));
    // Read back unchanged: no edit.
    QVERIFY(!s.session.ApplyAdvancedText(text));
    QCOMPARE(s.project.undo.UndoCount(), qint16(0));
    // The author's order is the order kept; indentation and notes do not matter.
    QVERIFY(s.session.ApplyAdvancedText(QStringLiteral("^No\n  !GO Control1\nnote\n^Yes\n!IF [[Control1]] = 1\n"
                                                       "\t\t!GO Control2\n!ENDIF\n"),
                                        5));
    QCOMPARE(s.lines(), (QStringList{"^No", "!GO Control1", "^Yes", "!IF [[Control1]] = 1", "!GO Control2", "!ENDIF"}));
    QCOMPARE(s.project.undo.UndoCount(), qint16(1));
    // The caret's line, counted among the lines that were read.
    QCOMPARE(s.session.Selected()->text(), QStringLiteral("!GO Control2"));
    QCOMPARE(s.session.CheckText(QStringLiteral("^Yes\n!GO Nowhere")).size(), 1);
}

void TestOptionsEditSession::followsChangesElsewhere()
{
    Session s;
    QSignalSpy changed(&s.session, &OptionsEditSession::treeChanged);
    s.session.SelectLine(3);
    s.first->setOptsAndActs({"^Maybe", "!GO Control2", "^Yes", "!GO Control1", "^No"});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(s.session.Lines(), s.lines());
    QCOMPARE(s.session.SelectedLine(), 3);
    // Another control's change is not this editor's.
    s.project.decisions.Item(QStringLiteral("Control2"))->setOptsAndActs({"^Other"});
    QCOMPARE(changed.count(), 1);
    // A removed control closes the editor.
    QSignalSpy closed(&s.session, &OptionsEditSession::decisionChanged);
    std::unique_ptr<CmDecisionItem> removed = s.project.decisions.Remove(QStringLiteral("Control1"));
    QCOMPARE(closed.count(), 1);
    QVERIFY(!s.session.Decision());
    QVERIFY(s.session.Lines().isEmpty());
}

KV_REGISTER_TEST(TestOptionsEditSession)
#include "tst_OptionsEditSession.moc"
