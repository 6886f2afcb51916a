#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "edit/CcEdit.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "views/frmFind.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

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
};

KV_REGISTER_TEST(TestFindBar)
#include "tst_FindBar.moc"
