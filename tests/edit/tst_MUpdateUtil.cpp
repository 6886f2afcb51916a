#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"

#include "base/ResourceStrings.h"
#include "edit/MUpdateUtil.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <QTest>

class TestMUpdateUtil : public QObject {
    Q_OBJECT

private slots:
    void quoteBeforeBackslashSwaps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << "a\"\\b" << "a\\\"b";
        QTest::newRow("two in a row") << "\"\\\"\\" << "\\\"\\\"";
        QTest::newRow("already right") << "\\\"" << "\\\"";
        QTest::newRow("quote at end") << "ab\"" << "ab\"";
    }
    void quoteBeforeBackslashSwaps()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MUpdateUtil::UpdateQE(text), expected);
    }

    void oldCheckLayoutConverts_data()
    {
        QTest::addColumn<qint16>("type");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("with caption") << qint16(MDecisionDataUtil::Check) << "!SET A = 1|^TRUE|!GO B|!OTHERWISE|!GO C"
                                      << "!SET A = 1|^Checked|!GO B|^Not Checked|!GO C";
        QTest::newRow("without caption") << qint16(MDecisionDataUtil::Check) << "!SET A = 1|!OTHERWISE|!GO C|^FALSE"
                                         << "^Checked|!SET A = 1|^Not Checked|!GO C";
        QTest::newRow("command") << qint16(MDecisionDataUtil::Command) << "^TRUE|!GO B" << "^Pushed|!GO B|^Not Pushed";
        QTest::newRow("current layout") << qint16(MDecisionDataUtil::Check) << "^Checked|!GO B|^Not Checked"
                                        << "^Checked|!GO B|^Not Checked";
    }
    void oldCheckLayoutConverts()
    {
        QFETCH(qint16, type);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(MUpdateUtil::ConvertOldLayout(before.split(QLatin1Char('|')), type), after.split(QLatin1Char('|')));
    }

    void updateControlsAsksFirst()
    {
        DiagramFixture diagram;
        CmDecisionItem* check = diagram.add(1, QStringLiteral("Box"));
        check->setIntControl(MDecisionDataUtil::Check);
        check->setOptsAndActsAsRead(QStringList{QStringLiteral("^TRUE"), QStringLiteral("!GO Box")});
        QCOMPARE(MUpdateUtil::UpdateControls(diagram.decisions, MDecisionDataUtil::Check, diagram.prompt), -1);
        QCOMPARE(check->OptsAndActs().first(), QStringLiteral("^TRUE"));
        QVERIFY(diagram.messages().first().startsWith(LoadResString(32611) + QStringLiteral("Check")));
        diagram.prompt.QueueAnswer(PromptAnswer::Ok);
        QCOMPARE(MUpdateUtil::UpdateControls(diagram.decisions, MDecisionDataUtil::Check, diagram.prompt), 1);
        QCOMPARE(check->OptsAndActs().first(), QStringLiteral("^Checked"));
    }

    void sortDirectionsBecomeBooleans_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("words") << "!SORT Cars: Price, Speed; Ascending, Descending" << "!SORT Cars: Price, Speed;FALSE,TRUE";
        QTest::newRow("numbers") << "!SORT Cars: Price; 1" << "!SORT Cars: Price;TRUE";
        QTest::newRow("not sort") << "!SORTED Cars; 1" << "!SORTED Cars; 1";
        QTest::newRow("no orders") << "!SORT Cars: Price" << "!SORT Cars: Price";
    }
    void sortDirectionsBecomeBooleans()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(MUpdateUtil::UpdateSortLine(line), expected);
    }
};

KV_REGISTER_TEST(TestMUpdateUtil)
#include "tst_MUpdateUtil.moc"
