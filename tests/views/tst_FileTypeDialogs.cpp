#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"
#include "validate/FileTypeConversion.h"
#include "views/frmFileType.h"
#include "views/frmKVDCompile.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

using namespace MDecisionDataUtil;

namespace {

CmDecisionItem& addSlide(CmDecisionManager& decisions)
{
    auto item = std::make_unique<CmDecisionItem>();
    CmDecisionItem& added = *item;
    item->setIntID(1);
    item->setStrID(QStringLiteral("Size"));
    item->setIntControl(Slide);
    item->setOptsAndActsAsRead(QStringList{"^Small", "^Large", "!GO Size"});
    decisions.add(std::move(item));
    return added;
}

} // namespace

class TestFileTypeDialogs : public QObject {
    Q_OBJECT

private slots:
    void convertsToTheChosenType_data()
    {
        QTest::addColumn<bool>("typeSet");
        QTest::addColumn<bool>("autoConvert");
        QTest::addColumn<int>("answer"); // -1: nothing asked
        QTest::addColumn<qint16>("typeAfter");
        QTest::addColumn<int>("reported"); // 0: the dialog stays open
        QTest::newRow("first choice, converting") << false << true << -1 << qint16(Radio) << 13359;
        QTest::newRow("first choice, only logging") << false << false << -1 << qint16(Slide) << 13360;
        QTest::newRow("asked: yes") << true << false << int(PromptAnswer::Yes) << qint16(Radio) << 13359;
        QTest::newRow("asked: cancel") << true << true << int(PromptAnswer::Cancel) << qint16(Slide) << 0;
    }

    void convertsToTheChosenType()
    {
        QFETCH(bool, typeSet);
        QFETCH(bool, autoConvert);
        QFETCH(int, answer);
        QFETCH(qint16, typeAfter);
        QFETCH(int, reported);
        CmDecisionManager decisions;
        CmDocument document;
        document.setFileType(2);
        document.setFileTypeSet(typeSet);
        CmDecisionItem& slide = addSlide(decisions);
        FileTypeConversion conversion(decisions, document);
        ScriptedPrompt prompt;
        if (answer >= 0)
            prompt.QueueAnswer(PromptAnswer(answer));

        frmFileType dialog(conversion, document.FileType(), prompt);
        QCOMPARE(dialog.description(), LoadResString(13265));
        QCOMPARE(dialog.chosenType(), 2);
        dialog.setChosenType(1);
        dialog.setAutoConvert(autoConvert);
        auto* convertButton = dialog.findChild<QPushButton*>(QStringLiteral("convertButton"));
        QVERIFY(convertButton);
        QCOMPARE(convertButton->text(), LoadResString(13349));
        QTest::mouseClick(convertButton, Qt::LeftButton);

        QStringList expected;
        if (answer >= 0)
            expected.append(LoadResString(13350));
        if (reported)
            expected.append(LoadResString(reported));
        QCOMPARE(prompt.shownTexts(), expected);
        QCOMPARE(slide.intControl(), typeAfter);
        QCOMPARE(slide.OptsAndActs(), (QStringList{"^Small", "^Large", "!GO Size"}));
        QCOMPARE(document.FileType(), reported ? 1 : 2);
        QCOMPARE(dialog.result(), reported ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }

    void desktopMode()
    {
        CmDocument document;
        document.setFileType(3);
        frmKVDCompile shown(document);
        QVERIFY(shown.calledFromApplication());
        shown.setCalledFromApplication(false);
        shown.accept();
        QCOMPARE(document.FileType(), 2);
        QVERIFY(document.FileTypeSet() && document.Dirty());

        frmKVDCompile again(document);
        QVERIFY(!again.calledFromApplication());
        again.setCalledFromApplication(true);
        again.reject();
        QCOMPARE(document.FileType(), 2);
    }

    void callingApplicationsListed()
    {
        CmDocument document;
        document.setFileType(3);
        document.setCallAppName(1, QStringLiteral("Planner"));
        document.setCallAppClass(1, QStringLiteral("Acme.Planner"));
        document.setCallAppName(3, QStringLiteral("Ledger"));
        frmKVDCompile shown(document);
        using App = frmKVDCompile::CallingApp;
        QCOMPARE(shown.callingApps(), (QList<App>{{"Planner", "Acme.Planner"}, {"Ledger", ""}}));
        // One more, typed in; the first removed; a row left empty is no application.
        shown.addCallingApp();
        shown.callingAppTable()->item(2, 0)->setText(QStringLiteral(" Shop "));
        shown.callingAppTable()->item(2, 1)->setText(QStringLiteral("Acme.Shop"));
        shown.addCallingApp();
        shown.callingAppTable()->setCurrentCell(0, 0);
        shown.removeCallingApp();
        shown.accept();
        QCOMPARE(document.CallAppCount(), qint16(2));
        QCOMPARE(document.CallAppName(1), QStringLiteral("Ledger"));
        QCOMPARE(document.CallAppName(2), QStringLiteral("Shop"));
        QCOMPARE(document.CallAppClass(2), QStringLiteral("Acme.Shop"));
        QVERIFY(document.Dirty());

        // Cancelled, nothing changes; stand alone, the list is not for editing.
        document.setDirty(false);
        frmKVDCompile again(document);
        QVERIFY(again.callingAppTable()->isEnabled());
        again.setCalledFromApplication(false);
        QVERIFY(!again.callingAppTable()->isEnabled());
        again.setCalledFromApplication(true);
        again.callingAppTable()->setCurrentCell(0, 0);
        again.removeCallingApp();
        again.reject();
        QCOMPARE(document.CallAppCount(), qint16(2));
        QVERIFY(!document.Dirty());
    }
};

KV_REGISTER_TEST(TestFileTypeDialogs)

#include "tst_FileTypeDialogs.moc"
