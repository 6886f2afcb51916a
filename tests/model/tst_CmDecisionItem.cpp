#include "common/TestRegistry.h"

#include "base/KvError.h"
#include "lang/OptionLines.h"
#include "model/CmDecisionItem.h"
#include "model/ChangeRecorder.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"

#include <QTest>

using namespace MDecisionDataUtil;

namespace {

// The created "^TRUE" and "^FALSE", reworded when the decision becomes a Check.
const QStringList checked{QStringLiteral("^Checked"), QStringLiteral("^Not Checked")};

} // namespace

class TestCmDecisionItem : public QObject {
    Q_OBJECT

private slots:
    // Each kind keeps its own list: the way back finds the first list again, adapted anew to its
    // interface. Pre-actions follow into the list that becomes current.
    void listsFollowKind_data()
    {
        QTest::addColumn<qint16>("first");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<qint16>("second");
        QTest::addColumn<QStringList>("seenInSecond");
        QTest::addColumn<QStringList>("seenBack");
        QTest::newRow("new to boolean") << qint16(Radio) << QStringList() << qint16(Check) << checked << QStringList();
        QTest::newRow("choice to numeric") << qint16(Radio) << QStringList{"!SET [[A]]=1", "^A", "!GO B"} << qint16(NumBox)
                                           << QStringList{"!SET [[A]]=1"} << QStringList{"!SET [[A]]=1", "^A", "!GO B"};
        QTest::newRow("numeric to boolean") << qint16(NumSlide) << QStringList{"^1-5"} << qint16(Command)
                                            << QStringList{"^Pushed", "^Not Pushed"} << QStringList{"^1-5"};
        QTest::newRow("boolean to choice") << qint16(Check) << QStringList{"^TRUE", "!GO X"} << qint16(List)
                                           << QStringList() << QStringList{"^Checked", "!GO X", "^Not Checked"};
        QTest::newRow("same kind shares") << qint16(Combo) << QStringList{"^Red", "!GO R"} << qint16(TextArea)
                                          << QStringList() << QStringList{"^Red", "!GO R"};
        QTest::newRow("unknown is choice") << qint16(RealNumBox) << QStringList{"^2", "^1-5"} << UnknownControl
                                           << QStringList() << QStringList{"^1-5"};
    }

    void listsFollowKind()
    {
        QFETCH(qint16, first);
        QFETCH(QStringList, lines);
        QFETCH(qint16, second);
        QFETCH(QStringList, seenInSecond);
        QFETCH(QStringList, seenBack);
        CmDecisionItem item;
        item.setIntControl(first);
        item.setOptsAndActs(lines);
        const QStringList* firstList = &item.OptsAndActs();
        item.setIntControl(second);
        QCOMPARE(item.OptsAndActs(), seenInSecond);
        item.setIntControl(first);
        QCOMPARE(item.OptsAndActs(), seenBack);
        QCOMPARE(&item.OptsAndActs(), firstList);
    }

    void strControl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("any case") << "numbox" << qint16(NumBox) << "NumBox";
        QTest::newRow("unknown") << "Gauge" << UnknownControl << "";
    }

    void strControl()
    {
        QFETCH(QString, text);
        QFETCH(qint16, code);
        QFETCH(QString, readBack);
        CmDecisionManager decisions;
        ChangeRecorder recorder(decisions);
        CmDecisionItem& item = ChangeRecorder::hold(decisions, std::make_unique<CmDecisionItem>());
        recorder.events.clear();
        const qint16 before = item.intControl();
        item.setStrControl(text);
        QCOMPARE(item.strControl(), readBack);
        const QStringList expected{QStringLiteral("changed type 1 %1 -> %2").arg(before).arg(code)};
        QCOMPARE(recorder.events, code == before ? QStringList() : expected);
    }

    void strGroup_data()
    {
        QTest::addColumn<QStringList>("held");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("group");
        // The decision is named "a" and numbered 3.
        QTest::newRow("empty and self skipped") << QStringList() << ",,A,B," << QStringList{"B"};
        QTest::newRow("own number skipped") << QStringList() << "3,B,03" << QStringList{"B", "03"};
        QTest::newRow("appended, blanks kept") << QStringList{"Z"} << " A,Y " << QStringList{"Z", " A", "Y "};
    }

    void strGroup()
    {
        QFETCH(QStringList, held);
        QFETCH(QString, text);
        QFETCH(QStringList, group);
        CmDecisionItem item;
        item.setStrID(QStringLiteral("a"));
        item.setIntID(3);
        item.setGroup(held);
        item.setStrGroup(text);
        QCOMPARE(item.Group(), group);
        QCOMPARE(item.strGroup(), group.join(','));
    }

    void groupSetter_data()
    {
        QTest::addColumn<bool>("giveHeldList");
        QTest::addColumn<QStringList>("group");
        QTest::newRow("held list is cleaned") << true << QStringList{"B"};
        QTest::newRow("other list stored as given") << false << QStringList{"", "A", "3"};
    }

    void groupSetter()
    {
        QFETCH(bool, giveHeldList);
        QFETCH(QStringList, group);
        CmDecisionItem item;
        item.setStrID(QStringLiteral("a"));
        item.setIntID(3);
        item.setGroup(QStringList{"", "A", "B", "3"});
        item.setGroup(giveHeldList ? item.Group() : group);
        QCOMPARE(item.Group(), group);
    }

    void optsAndActsSetter_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("oldText");
        QTest::addColumn<QString>("newText");
        QTest::newRow("boolean") << qint16(Check) << QStringList{"^Yes", "!GO Next"} << "^Checked\t^Not Checked\t"
                                 << "^Yes\t!GO Next\t";
        QTest::newRow("to empty") << qint16(Command) << QStringList() << "^Pushed\t^Not Pushed\t" << "";
        QTest::newRow("commas, empty line") << qint16(Radio) << QStringList{"!SORT Cars: Price, Speed; Ascending", ""}
                                            << "" << "!SORT Cars: Price, Speed; Ascending\t\t";
    }

    void optsAndActsSetter()
    {
        QFETCH(qint16, code);
        QFETCH(QStringList, lines);
        QFETCH(QString, oldText);
        QFETCH(QString, newText);
        CmDecisionManager decisions;
        auto created = std::make_unique<CmDecisionItem>();
        created->setIntID(42);
        created->setIntControl(code);
        CmDecisionItem& item = ChangeRecorder::hold(decisions, std::move(created));
        ChangeRecorder recorder(decisions);
        item.setOptsAndActs(lines);
        QCOMPARE(recorder.blockChanges, QList<QStringList>{(QStringList{oldText, newText})});
        QCOMPARE(MTreeViewUtil::OptsAndActsToCol(newText), lines);
    }
};

KV_REGISTER_TEST(TestCmDecisionItem)
#include "tst_CmDecisionItem.moc"
