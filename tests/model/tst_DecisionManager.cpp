#include "common/Scaling.h"
#include "common/TestRegistry.h"

#include "base/ErrorLog.h"
#include "model/ChangeRecorder.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"
#include "model/MDecisionDataUtil.h"
#include "model/CmDecisionManager.h"
#include "persist/PropertyBag.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

std::unique_ptr<CmDecisionItem> decision(qint16 number, const QString& name)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(number);
    item->setStrID(name);
    return item;
}

struct Named {
    qint16 number;
    const char* name;
};

void fill(CmDecisionManager& manager, std::initializer_list<Named> decisions)
{
    for (const Named& each : decisions)
        QVERIFY(manager.add(decision(each.number, QString::fromUtf8(each.name))));
}

QString errorLogText()
{
    QFile file(ErrorLogFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Reading a project creates each decision through the class lookup.
class DecisionLookup final : public IClassLookup {
public:
    ClassInstance IClassLookup_CreateClass(int classId) override
    {
        if (classId != CmDecisionItem::ClassId)
            return {};
        return ClassInstance::created(std::make_unique<CmDecisionItem>());
    }
};

// Written and read the way a project is: through the bag's text.
void roundTrip(const IClassPersistable& from, IClassPersistable& to)
{
    PropertyBag written;
    written.WriteRoot(from);
    PropertyBag read;
    QVERIFY(read.FromText(written.ToText()).ok());
    DecisionLookup lookup;
    read.SetClassLookup(&lookup);
    QVERIFY(read.ReadRoot(to));
}

} // namespace

class TestDecisionManager : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(ErrorLogFilePath()); }

    void keysByNameAndNumber_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("exists");
        QTest::newRow("number without entry") << QVariant(7) << "_7" << false;
        QTest::newRow("name") << QVariant("abc") << "ABC" << false;
        QTest::newRow("number of a named decision") << QVariant(3) << "FIRST" << true;
        QTest::newRow("16-bit number") << QVariant::fromValue(qint16(3)) << "FIRST" << true;
        QTest::newRow("number as text") << QVariant(" 3 ") << "FIRST" << true;
        QTest::newRow("name in other case") << QVariant("fIrSt") << "FIRST" << true;
        QTest::newRow("number of an unnamed decision") << QVariant(5) << "_5" << true;
        QTest::newRow("key of an unnamed decision") << QVariant("_5") << "_5" << true;
        QTest::newRow("half rounds to even") << QVariant(2.5) << "TWO" << true;
        QTest::newRow("name looking like a number word") << QVariant("Inf") << "INF" << false;
        QTest::newRow("name beginning with digits") << QVariant("3rd") << "3RD" << false;
        QTest::newRow("negative number") << QVariant(-1) << "_-1" << false;
        QTest::newRow("name as stored") << QVariant("Straße") << "STRASSE" << true;
        QTest::newRow("name upper-cased") << QVariant("STRASSE") << "STRASSE" << true;
        // A name that reads as a number is never found by name.
        QTest::newRow("name that reads as a number") << QVariant("12") << "_12" << false;
    }
    void keysByNameAndNumber()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, key);
        QFETCH(bool, exists);
        CmDecisionManager manager;
        fill(manager, {{3, "First"}, {2, "Two"}, {5, ""}, {8, "Straße"}, {9, "12"}});
        QCOMPARE(manager.GetKey(value), key);
        QCOMPARE(manager.Exists(value), exists);
        CmDecisionItem* item = manager.Item(value);
        QCOMPARE(item != nullptr, exists);
        if (item)
            QCOMPARE(CmDecisionManager::keyFor(item->strID(), item->intID()), key);
    }

    void refusedAdditions_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("log");
        // Each piece lands in the log file on a line of its own.
        QTest::newRow("taken number") << 4 << "B"
                                      << "CmDecisionManager: error intID:\r\n4\r\n already exists\r\n\r\n\r\n";
        QTest::newRow("taken name")
            << 6 << "a"
            << "Error:\r\n457\r\n\t\r\nSource:\r\nCmDecisionManager\r\n|\r\nCmDecisionManager.add\r\n\t\r\n"
               "Description:\r\nThis key is already associated with an element of this collection\r\n\r\n\r\n";
    }
    void refusedAdditions()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QFETCH(QString, log);
        CmDecisionManager manager;
        fill(manager, {{4, "A"}});
        QVERIFY(!manager.add(decision(static_cast<qint16>(number), name)));
        QCOMPARE(manager.Count(), 1);
        QCOMPARE(manager.Item(4)->strID(), QStringLiteral("A"));
        QCOMPARE(manager.controlSelector().entries(), QStringList{"A"});
        // A refused name leaves its number free.
        QCOMPARE(manager.nameLookUp().Index(6), QString());
        QCOMPARE(errorLogText(), log);
    }

    void removal_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("removedNumber");
        QTest::addColumn<int>("lastIntID");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("highest number") << QVariant("Nine") << 9 << 4 << QStringList{"ONE", "FOUR"};
        QTest::newRow("highest by number") << QVariant(9) << 9 << 4 << QStringList{"ONE", "FOUR"};
        QTest::newRow("middle, selected") << QVariant("four") << 4 << 9 << QStringList{"ONE", "NINE"};
        QTest::newRow("lowest") << QVariant(1) << 1 << 9 << QStringList{"FOUR", "NINE"};
        QTest::newRow("absent") << QVariant("Two") << 0 << 9 << QStringList{"ONE", "FOUR", "NINE"};
    }
    void removal()
    {
        QFETCH(QVariant, value);
        QFETCH(int, removedNumber);
        QFETCH(int, lastIntID);
        QFETCH(QStringList, keys);
        CmDecisionManager manager;
        fill(manager, {{1, "One"}, {4, "Four"}, {9, "Nine"}});
        manager.SetSelectedDecision(4);
        QSignalSpy changed(&manager, &CmDecisionManager::documentChanged);

        const std::unique_ptr<CmDecisionItem> removed = manager.Remove(value);
        QCOMPARE(removed ? removed->intID() : 0, removedNumber);
        QCOMPARE(changed.count(), removed ? 1 : 0);
        QCOMPARE(manager.LastIntID(), qint16(lastIntID));
        QCOMPARE(manager.Keys(), keys);
        QCOMPARE(manager.GetKey(removedNumber), QLatin1Char('_') + QString::number(removedNumber));
        QCOMPARE(manager.controlSelector().count(), keys.size());
        // The selection never points at a decision the manager no longer holds.
        QCOMPARE(manager.Selected(), manager.Item(4));
        QCOMPARE(manager.controlSelector().currentIndex(), manager.GetCBIndex(4));
        QCOMPARE(errorLogText().contains(QStringLiteral("CmDecisionManager.Remove")), !removed);
    }

    void rename_data()
    {
        QTest::addColumn<QVariant>("oldValue");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("selector");
        QTest::addColumn<int>("width");
        QTest::newRow("to empty") << QVariant("B") << "" << QStringList{"A", "_2", "C"} << QStringList{"A", "", "C"}
                                  << 1;
        QTest::newRow("by number") << QVariant(2) << "Beta" << QStringList{"A", "BETA", "C"}
                                   << QStringList{"A", "Beta", "C"} << 4;
        QTest::newRow("case only") << QVariant("b") << "b" << QStringList{"A", "B", "C"} << QStringList{"A", "b", "C"}
                                   << 1;
        QTest::newRow("name of another") << QVariant("B") << "c" << QStringList{"A", "B", "C"}
                                         << QStringList{"A", "B", "C"} << 1;
    }
    void rename()
    {
        QFETCH(QVariant, oldValue);
        QFETCH(QString, newName);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, selector);
        QFETCH(int, width);
        CmDecisionManager manager;
        fill(manager, {{1, "A"}, {2, "B"}, {3, "C"}});
        CmDecisionItem* renamed = manager.Item(2);
        const QString oldName = renamed->strID();

        manager.Rename(oldValue, newName);
        // The name it had finds it only while it still answers to that name.
        QCOMPARE(manager.Item(oldName) == renamed, renamed->strID().compare(oldName, Qt::CaseInsensitive) == 0);
        QCOMPARE(manager.Keys(), keys);
        QCOMPARE(manager.controlSelector().entries(), selector);
        QCOMPARE(manager.GetKey(2), keys.at(1));
        QCOMPARE(manager.Item(keys.at(1).toLower()), renamed);
        QCOMPARE(manager.ItemByIndex(2), renamed);
        QCOMPARE(manager.GetCBIndex(2), 2);
        QCOMPARE(renamed->strID(), selector.at(1));
        QCOMPARE(manager.controlSelector().width(), width);
    }

    void itemByIndexOutsideTheCollection()
    {
        CmDecisionManager manager;
        QCOMPARE(manager.ItemByIndex(1), nullptr);
        fill(manager, {{5, "E"}});
        QCOMPARE(manager.ItemByIndex(0), nullptr);
        QCOMPARE(manager.ItemByIndex(2), nullptr);
    }

    void selectionFollowsTheSelector()
    {
        CmDecisionManager manager;
        fill(manager, {{1, "A"}, {2, "B"}});
        QSignalSpy selected(&manager, &CmDecisionManager::selectedChanged);
        QList<bool> guardedDuringChange;
        connect(&manager.controlSelector(), &ControlSelector::currentIndexChanged, this,
                [&] { guardedDuringChange.append(manager.SetSelector()); });

        manager.SetSelectedDecision(QStringLiteral("b"));
        QCOMPARE(manager.Selected(), manager.Item(2));
        QCOMPARE(manager.controlSelector().currentIndex(), 2);
        manager.SetSelectedDecision(2);
        QCOMPARE(selected.count(), 1);

        manager.SetSelectedDecision(-1);
        QCOMPARE(manager.Selected(), nullptr);
        QCOMPARE(manager.controlSelector().currentIndex(), 0);
        QCOMPARE(selected.count(), 2);
        QCOMPARE(selected.last().at(0).value<CmDecisionItem*>(), nullptr);
        QCOMPARE(guardedDuringChange, (QList<bool>{true, true}));
        QVERIFY(!manager.SetSelector());
    }

    void roundTripKeepsDecisionsOrderAndLookup()
    {
        CmDecisionManager written;
        fill(written, {{3, "Start"}, {12, ""}, {7, "Middle"}});
        written.Item(7)->setCaption(QStringLiteral("How many?"));
        written.Item(7)->setOptsAndActs(QStringList{"^Few", "!GO Start"});
        written.setSetSelector(true);

        CmDecisionManager read;
        fill(read, {{3, "Stale"}});
        QSignalSpy progress(&read, &CmDecisionManager::loadProgress);
        roundTrip(written, read);

        QCOMPARE(read.Keys(), (QStringList{"START", "_12", "MIDDLE"}));
        QCOMPARE(read.controlSelector().entries(), (QStringList{"Start", "", "Middle"}));
        for (const int number : {3, 12, 7})
            QCOMPARE(read.GetKey(number), written.GetKey(number));
        QCOMPARE(read.Item(QStringLiteral("middle"))->Caption(), QStringLiteral("How many?"));
        QCOMPARE(read.Item(7)->OptsAndActs(), (QStringList{"^Few", "!GO Start"}));
        QCOMPARE(read.LastIntID(), qint16(12));
        QVERIFY(read.SetSelector());
        QCOMPARE(progress.last().at(0).toInt(), 100);
        QCOMPARE(errorLogText(), QString());
    }

    void finishLinkLeavesAGap()
    {
        CmDecisionManager written;
        fill(written, {{1, "Start"}, {2, "FinishLink"}, {3, "End"}});
        PropertyBag bag;
        bag.WriteRoot(written);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Count"), 0).toInt(), 3);
        QVERIFY(!bag.Contains(QStringLiteral("Key2")));
        QVERIFY(!bag.Contains(QStringLiteral("Decision2")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Key3")).toString(), QStringLiteral("END"));

        CmDecisionManager read;
        roundTrip(written, read);
        QCOMPARE(read.Keys(), (QStringList{"START", "END"}));
        QVERIFY(!read.Exists(QStringLiteral("FinishLink")));
        QCOMPARE(read.GetKey(2), QStringLiteral("_2"));
    }

    // Adding, looking up and reading back grow linearly with the number of controls.
    // Every listener hears every event; a removed decision is detached, so what is done to it
    // afterwards (on the clipboard, in an undo record) reaches nobody.
    void listenersHearEveryChange()
    {
        CmDecisionManager manager;
        ChangeRecorder undo(manager);
        ChangeRecorder views(manager);
        fill(manager, {{3, "Budget"}});
        CmDecisionItem* budget = manager.Item(QStringLiteral("Budget"));
        QVERIFY(MDecisionDataUtil::SetProperty(*budget, MDecisionDataUtil::CaptionLabel, QStringLiteral("How much?")));
        budget->setOptsAndActs({QStringLiteral("^Low")});
        manager.Rename(QStringLiteral("Budget"), QStringLiteral("Price"));
        std::unique_ptr<CmDecisionItem> cut = manager.Remove(QStringLiteral("Price"));
        QVERIFY(cut);
        QCOMPARE(cut->manager(), nullptr);
        cut->setOptsAndActs({QStringLiteral("^High")});
        QVERIFY(MDecisionDataUtil::SetProperty(*cut, MDecisionDataUtil::CaptionLabel, QStringLiteral("Later")));
        cut->setIntControl(MDecisionDataUtil::ControlType::NumBox);
        const QStringList expected{QStringLiteral("added Budget"),
                                   QStringLiteral("changed property 3 8006| -> 8006|How much?"),
                                   QStringLiteral("changed block 3  -> ^Low\t"),
                                   QStringLiteral("renamed Budget -> Price"),
                                   QStringLiteral("removed Price")};
        QCOMPARE(undo.events, expected);
        QCOMPARE(views.events, expected);
    }

    void manyControlsStayLinear()
    {
        const auto addAndLookUp = [](int count) {
            CmDecisionManager written;
            for (int number = 1; number <= count; ++number)
                written.add(decision(static_cast<qint16>(number), QStringLiteral("Control%1").arg(number)));
            int found = 0;
            for (int number = 1; number <= count; ++number) {
                found += written.Item(number) == written.Item(QStringLiteral("control%1").arg(number)) ? 1 : 0;
                found += written.ItemByIndex(number)->intID() == number ? 1 : 0;
                found += written.GetCBIndex(number) == number ? 1 : 0;
            }
            QCOMPARE(found, 3 * count);
            PropertyBag bag;
            bag.WriteRoot(written);
            DecisionLookup lookup;
            bag.SetClassLookup(&lookup);
            CmDecisionManager read;
            QVERIFY(bag.ReadRoot(read));
            QCOMPARE(read.Count(), count);
        };
        const double ratio = GrowthRatio(addAndLookUp, 8000);
        QVERIFY2(ratio < 3.5, qPrintable(QString::number(ratio)));
    }
};

KV_REGISTER_TEST(TestDecisionManager)
#include "tst_DecisionManager.moc"
