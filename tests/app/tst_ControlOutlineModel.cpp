#include "common/Scaling.h"
#include "common/TestRegistry.h"

#include "app/ControlOutlineModel.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionProperties.h"
#include "model/RulesText.h"

#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>

namespace {

// Four controls: number, name, interface, caption.
const QString Rules = QStringLiteral("BEGIN\n"
                                     "1\t\tBudget\t\t\t\"How much?\"\tNumBox\t$Budget in euros\t\n"
                                     "2\t\tMainUse\t\t\t\"What for?\"\tRadio\t$Main use\t^Work\t^Play\t\n"
                                     "3\t\tNotes\t\t\t\"Anything else?\"\tTextArea\t$Notes for the shop\t\n"
                                     "4\t\tAgree\t\t\t\"Agreed?\"\tCheck\t$I agree to the budget\t\n");

QStringList column(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

// The rows as the manager holds the controls, in order; what the model shows must match.
QStringList held(const CmDecisionManager& decisions)
{
    QStringList names;
    for (int index = 1; index <= decisions.Count(); ++index)
        names.append(ControlOutlineModel::displayName(*decisions.ItemByIndex(index)));
    return names;
}

} // namespace

// The outline's rows over the decision manager: they follow every change the manager reports,
// one row at a time, and the filter finds a control by any of its three columns.
class TestControlOutlineModel : public QObject {
    Q_OBJECT

private slots:
    void followsAddRenameChangeAndRemove();
    void aControlRemovedBeforeItJoinsLeavesNoRow();
    void filterFindsByAnyColumn_data();
    void filterFindsByAnyColumn();
    void readingALargeTreeStaysLinear();
};

void TestControlOutlineModel::followsAddRenameChangeAndRemove()
{
    CmDecisionManager decisions;
    QVERIFY(RulesText::Read(Rules, decisions).ok);
    ControlOutlineModel model(decisions);
    QCOMPARE(column(model, ControlOutlineModel::NameColumn), held(decisions));
    QCOMPARE(column(model, ControlOutlineModel::TypeColumn),
             (QStringList{"NumBox", "Radio", "TextArea", "Check"}));

    // Added controls join when asked for, or when the event loop turns.
    auto added = std::make_unique<CmDecisionItem>();
    added->setIntID(9);
    CmDecisionItem* unnamed = added.get();
    QVERIFY(decisions.add(std::move(added)));
    QCOMPARE(model.rowOf(unnamed), 4);
    QCOMPARE(model.index(4, ControlOutlineModel::NameColumn).data().toString(), QStringLiteral("_9"));
    QCOMPARE(model.index(4, 0).data(ControlOutlineModel::NumberRole).toInt(), 9);

    CmDecisionItem* notes = decisions.Item(QStringLiteral("Notes"));
    QSignalSpy changedRows(&model, &QAbstractItemModel::dataChanged);
    decisions.Rename(QStringLiteral("Notes"), QStringLiteral("Remarks"));
    QVERIFY(MDecisionDataUtil::SetProperty(*notes, MDecisionDataUtil::CaptionLabel, QStringLiteral("Remarks")));
    QVERIFY(MDecisionDataUtil::SetProperty(*notes, MDecisionDataUtil::InputInterfaceLabel, QStringLiteral("StringBox")));
    // The three changes are told once, for that row alone, when the event loop turns.
    QVERIFY(changedRows.isEmpty());
    QTRY_COMPARE(changedRows.count(), 1);
    QCOMPARE(changedRows.at(0).at(0).toModelIndex().row(), 2);
    QCOMPARE(changedRows.at(0).at(1).toModelIndex().row(), 2);
    QCOMPARE(model.index(2, ControlOutlineModel::NameColumn).data().toString(), QStringLiteral("Remarks"));
    QCOMPARE(model.index(2, ControlOutlineModel::TypeColumn).data().toString(), QStringLiteral("StringBox"));
    QCOMPARE(model.index(2, ControlOutlineModel::CaptionColumn).data().toString(), QStringLiteral("Remarks"));

    // A removal takes its own row and no other, wherever it stands.
    QSignalSpy removedRows(&model, &QAbstractItemModel::rowsRemoved);
    QVERIFY(decisions.Remove(QStringLiteral("MainUse")));
    QVERIFY(decisions.Remove(QStringLiteral("Budget")));
    QCOMPARE(removedRows.count(), 2);
    QCOMPARE(removedRows.at(0).at(1).toInt(), 1);
    QCOMPARE(removedRows.at(1).at(1).toInt(), 0);
    QCOMPARE(column(model, ControlOutlineModel::NameColumn), held(decisions));
    QCOMPARE(model.rowOf(notes), 0);
    QCOMPARE(model.rowOf(unnamed), 2);

    decisions.Clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.rowOf(notes), -1);
}

void TestControlOutlineModel::aControlRemovedBeforeItJoinsLeavesNoRow()
{
    CmDecisionManager decisions;
    ControlOutlineModel model(decisions);
    QVERIFY(RulesText::Read(Rules, decisions).ok);
    QCOMPARE(model.rowCount(), 0); // still waiting for the event loop
    QVERIFY(decisions.Remove(QStringLiteral("MainUse")));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QTRY_COMPARE(model.rowCount(), 3);
    QCOMPARE(inserted.count(), 1); // one block
    QCOMPARE(column(model, ControlOutlineModel::NameColumn), held(decisions));
}

void TestControlOutlineModel::filterFindsByAnyColumn_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("nothing typed") << QString() << QStringList{"Budget", "MainUse", "Notes", "Agree"};
    QTest::newRow("a name, any case") << QStringLiteral("mainuse") << QStringList{"MainUse"};
    QTest::newRow("an interface") << QStringLiteral("check") << QStringList{"Agree"};
    QTest::newRow("a caption and a name") << QStringLiteral("budget") << QStringList{"Budget", "Agree"};
    QTest::newRow("part of a word") << QStringLiteral("o") << QStringList{"Budget", "MainUse", "Notes", "Agree"};
    QTest::newRow("no match") << QStringLiteral("laptop") << QStringList{};
    QTest::newRow("pattern characters are text") << QStringLiteral(".*") << QStringList{};
}

void TestControlOutlineModel::filterFindsByAnyColumn()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    CmDecisionManager decisions;
    QVERIFY(RulesText::Read(Rules, decisions).ok);
    ControlOutlineModel model(decisions);
    QSortFilterProxyModel rows;
    rows.setSourceModel(&model);
    rows.setFilterKeyColumn(-1);
    rows.setFilterCaseSensitivity(Qt::CaseInsensitive);
    rows.setFilterFixedString(filter);
    QCOMPARE(column(rows, ControlOutlineModel::NameColumn), shown);
}

void TestControlOutlineModel::readingALargeTreeStaysLinear()
{
    // A project read with the outline attached: every control is one event, and the filtered
    // rows follow. Work per event that grows with the tree would show as a ratio near 4.
    const auto read = [](int count) {
        CmDecisionManager decisions;
        ControlOutlineModel model(decisions);
        QSortFilterProxyModel rows;
        rows.setSourceModel(&model);
        rows.setFilterKeyColumn(-1);
        rows.setFilterFixedString(QStringLiteral("7"));
        for (int id = 1; id <= count; ++id) {
            auto item = std::make_unique<CmDecisionItem>();
            item->setIntID(static_cast<qint16>(id));
            item->setStrID(QStringLiteral("Control%1").arg(id));
            decisions.add(std::move(item));
        }
        for (int id = count; id > count - 20; --id) {
            const CmDecisionItem* item = decisions.Item(QStringLiteral("Control%1").arg(id));
            QCOMPARE(model.rowOf(item), id - 1);
            decisions.Rename(item->strID(), item->strID() + QLatin1String("x"));
        }
        QVERIFY(rows.rowCount() > 0);
    };
    const double ratio = GrowthRatio(read, 4000);
    QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
}

KV_REGISTER_TEST(TestControlOutlineModel)
#include "tst_ControlOutlineModel.moc"
