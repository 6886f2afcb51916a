#include "common/TestRegistry.h"

#include "model/CmNameLookUp.h"
#include "persist/PropertyBag.h"

#include <QTest>

class TestCmNameLookUp : public QObject {
    Q_OBJECT

private slots:
    void growsOnlyWhenWrittenBeyondItsEnd_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("room");
        QTest::newRow("within") << 10 << 10;
        QTest::newRow("one beyond") << 11 << 21;
        QTest::newRow("far beyond") << 500 << 510;
    }
    void growsOnlyWhenWrittenBeyondItsEnd()
    {
        QFETCH(int, number);
        QFETCH(int, room);
        CmNameLookUp lookUp;
        lookUp.setIndex(2, QStringLiteral("B"));
        QCOMPARE(lookUp.Index(number + 100), QString());
        lookUp.setIndex(number, QStringLiteral("N"));
        QCOMPARE(lookUp.Room(), room);
        QCOMPARE(lookUp.Count(), number);
        QCOMPARE(lookUp.Index(2), QStringLiteral("B"));
        QCOMPARE(lookUp.Index(number), QStringLiteral("N"));
        // The highest number written stays the count after its entry is emptied.
        lookUp.Remove(number);
        QCOMPARE(lookUp.Index(number), QString());
        QCOMPARE(lookUp.Count(), number);
    }

    void readsBackAllButEntryZero()
    {
        CmNameLookUp written;
        written.setIndex(0, QStringLiteral("ZERO"));
        written.setIndex(3, QStringLiteral("C"));
        written.setIndex(15, QStringLiteral("_15"));

        PropertyBag bag;
        bag.WriteRoot(written);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Count"), 0).toInt(), 15);
        QCOMPARE(bag.ReadProperty(QStringLiteral("Key0")).toString(), QStringLiteral("ZERO"));

        CmNameLookUp read;
        read.setIndex(4, QStringLiteral("STALE"));
        QVERIFY(bag.ReadRoot(read));
        QCOMPARE(read.Count(), 15);
        QCOMPARE(read.Room(), 25);
        QCOMPARE(read.Index(0), QString());
        QCOMPARE(read.Index(3), QStringLiteral("C"));
        QCOMPARE(read.Index(4), QString());
        QCOMPARE(read.Index(15), QStringLiteral("_15"));
    }
};

KV_REGISTER_TEST(TestCmNameLookUp)
#include "tst_CmNameLookUp.moc"
