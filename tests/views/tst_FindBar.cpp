#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "edit/CcEdit.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "views/frmFind.h"
#include "app/CApplication.h"
#include "app/CController.h"
#include "edit/FindReplace.h"
#include "model/RulesText.h"
#include "project/Project.h"
#include "tests/views/RunningDesigner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestFindBar : public QObject {
    Q_OBJECT

    static void addControl(CmDecisionManager& decisions, qint16 id, const QString& name, const QString& caption)
    {
        auto item = std::make_unique<CmDecisionItem>();
        item->setIntID(id);
        item->setStrID(name);
        item->setCaption(caption);
        decisions.add(std::move(item));
    }

private slots:
    void choicesReachTheEditCommands()
    {
        CmDecisionManager decisions;
        ScriptedPrompt prompt;
        CcEdit edit(decisions, prompt);
        addControl(decisions, 1, "First", "concat cat");
        addControl(decisions, 2, "Second", "Cat");
        frmFind bar(edit);
        QCOMPARE(bar.DirectionBox().count(), 3);
        QCOMPARE(bar.AreaBox().itemText(5), LoadResString(12218));

        bar.SearchBox().setText("cat");
        bar.WholeWordBox().setChecked(true);
        bar.MatchCaseBox().setChecked(true);
        bar.FindNext();
        QCOMPARE(edit.Request().options.wholeWord, true);
        QCOMPARE(edit.LastMatch()->key, 1);
        QCOMPARE(edit.LastMatch()->position, 7);
        QCOMPARE(decisions.Selected(), decisions.Item(1));
        // Match case passes "Cat" by.
        bar.FindNext();
        QVERIFY(!edit.LastMatch());
        QCOMPARE(prompt.shownTexts().value(0), LoadResString(12200));

        bar.MatchCaseBox().setChecked(false);
        bar.ReplacementBox().setText("dog");
        bar.ReplaceAll();
        QCOMPARE(decisions.Item(1)->Caption(), QStringLiteral("concat dog"));
        QCOMPARE(decisions.Item(2)->Caption(), QStringLiteral("dog"));
        QCOMPARE(bar.StatusText(), LoadResString(12201) + "2" + LoadResString(12203));
    }

    // Replace All keeps what it replaced, but says when the tree has a validation error it did
    // not have before, naming the first; a harmless one says nothing more.
    void replaceAllNamesTheErrorItBrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("brought");
        QTest::newRow("a !GO target") << "Target" << "Goal" << "Goal";
        QTest::newRow("a caption") << "Pick" << "Choose" << QString();
    }
    void replaceAllNamesTheErrorItBrings()
    {
        QFETCH(QString, text);
        QFETCH(QString, replacement);
        QFETCH(QString, brought);
        RunningDesigner designer;
        CmDecisionManager& decisions = gApp->OpenProject().Decisions();
        QVERIFY(RulesText::Read(QStringLiteral("1\t\tStart\t\t\t\"Pick one\"\tList\t^Yes\t!GO Target\t\r\n"
                                               "2\t\tTarget\t\t\t\"Last\"\tList\t^Yes\t!GO Start\t\r\n"),
                                decisions).ok);
        decisions.setSelected(decisions.Item(1));
        CcEdit& edit = gApp->Controller().Edit();
        edit.Request().text = text;
        edit.Request().replacement = replacement;
        edit.Request().options.wholeWord = true;
        edit.Request().area = SearchRequest::ThisControl;
        QCOMPARE(edit.ReplaceAll(), 1);
        const QString shown = designer.prompt.shownTexts().value(0);
        const QString note = LoadResString(36504).section(QStringLiteral("%1"), 0, 0);
        QVERIFY(!note.trimmed().isEmpty());
        QVERIFY2(shown.startsWith(LoadResString(12201) + u'1'), qPrintable(shown));
        QCOMPARE(shown.contains(note), !brought.isEmpty());
        if (!brought.isEmpty())
            QVERIFY2(shown.section(note, 1).contains(brought), qPrintable(shown));
        QCOMPARE(decisions.Item(1)->OptsAndActs().join(u'|').contains(u"!GO Goal"_s), !brought.isEmpty());
    }
};

KV_REGISTER_TEST(TestFindBar)
#include "tst_FindBar.moc"
