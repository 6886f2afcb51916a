#include "common/TestRegistry.h"

#include "base/ErrorLog.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"
#include "persist/PropertyBag.h"

#include <QFile>
#include <QTest>

using namespace MDecisionDataUtil;

namespace {

// Written and read the way a project does it: through the bag's text.
PropertyBag roundTrip(const CmDecisionItem& from, CmDecisionItem& to)
{
    PropertyBag written;
    from.IClassPersistable_WriteProperties(written);
    PropertyBag read;
    read.FromText(written.ToText());
    to.IClassPersistable_ReadProperties(read);
    return written;
}

void fill(CmDecisionItem& item)
{
    item.setKvdHelpID(-12);
    item.setKvwHelpID(QStringLiteral("help.htm"));
    item.setIntID(32767);
    item.setStrID(QStringLiteral("Engine"));
    item.setOptsAndActs(QStringList{"^Red", "^Blue", "^Green"});
    item.setIntControl(Command);
    item.setOptsAndActs(QStringList{"^Pushed", "!GO Go"});
    item.setIntControl(NumBox);
    item.setOptsAndActs(QStringList{"^1-5", "!GO Small"});
    item.setCaption(QStringLiteral("Size?"));
    item.setHeading(QStringLiteral("{\\rtf1 Sizes}"));
    item.setPicture(QStringLiteral("motor.jpg"));
    item.setGroup(QStringList{"Fuel", ""});
    item.setMin(QString());
    item.setMax(QStringLiteral("10"));
    item.setDirty(true);
}

} // namespace

class TestCmDecisionItemPersistence : public QObject {
    Q_OBJECT

private slots:
    void classId() { QCOMPARE(CmDecisionItem().IClassPersistable_UCID(), 5); }

    void keysWritten_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("kvdHelp") << "kvdHelp" << QVariant(-12);
        QTest::newRow("kvwHelp") << "kvwHelp" << QVariant("help.htm");
        QTest::newRow("intIdentifier") << "intIdentifier" << QVariant(32767);
        QTest::newRow("strIdentifier") << "strIdentifier" << QVariant("Engine");
        QTest::newRow("intControl") << "intControl" << QVariant(7);
        QTest::newRow("only the numeric list") << "OptsAndActsCount" << QVariant(2);
        QTest::newRow("first line") << "OptsAndActs1" << QVariant("^1-5");
        QTest::newRow("last line") << "OptsAndActs2" << QVariant("!GO Small");
        QTest::newRow("no third line") << "OptsAndActs3" << QVariant();
        QTest::newRow("Caption") << "Caption" << QVariant("Size?");
        QTest::newRow("Heading") << "Heading" << QVariant("{\\rtf1 Sizes}");
        QTest::newRow("Picture") << "Picture" << QVariant("motor.jpg");
        QTest::newRow("IncludeCount") << "IncludeCount" << QVariant(2);
        QTest::newRow("Include1") << "Include1" << QVariant("Fuel");
        QTest::newRow("empty Include2") << "Include2" << QVariant("");
        QTest::newRow("empty Min differs from default") << "Min" << QVariant("");
        QTest::newRow("Max") << "Max" << QVariant("10");
        QTest::newRow("Dirty") << "Dirty" << QVariant(true);
    }

    void keysWritten()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        CmDecisionItem item;
        fill(item);
        CmDecisionItem read;
        const PropertyBag bag = roundTrip(item, read);
        QCOMPARE(bag.ReadProperty(key), value);

        // The read decision writes the same bag again.
        PropertyBag again;
        read.IClassPersistable_WriteProperties(again);
        QCOMPARE(again.ToText(), bag.ToText());
    }

    // The choice and boolean lists of the written decision do not travel: the read one keeps
    // its own, the boolean one as created.
    void otherListsStayBehind()
    {
        CmDecisionItem item;
        fill(item);
        CmDecisionItem read;
        roundTrip(item, read);
        read.setIntControl(Radio);
        QVERIFY(read.OptsAndActs().isEmpty());
        read.setIntControl(Check);
        QCOMPARE(read.OptsAndActs(), (QStringList{"^Checked", "^Not Checked"}));
    }

    void missingKeysGiveDefaults()
    {
        CmDecisionItem read;
        fill(read);
        PropertyBag empty;
        read.IClassPersistable_ReadProperties(empty);
        QCOMPARE(read.Min(), QStringLiteral("-32767"));
        QCOMPARE(read.Max(), QStringLiteral("32767"));
        QVERIFY(read.OptsAndActs().isEmpty() && read.Group().isEmpty() && !read.Dirty());
        read.setIntControl(NumBox);
        QCOMPARE(read.DefaultValue(), QVariant(QString()));
    }

    void defaultValue_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("empty Check") << qint16(Check) << QVariant() << QVariant(QString(""));
        QTest::newRow("empty NumBox") << qint16(NumBox) << QVariant() << QVariant();
        QTest::newRow("whole number") << qint16(NumBox) << QVariant(42) << QVariant(42);
        QTest::newRow("fraction") << qint16(Radio) << QVariant(2.5) << QVariant(2.5);
        QTest::newRow("digits as text") << qint16(NumSlide) << QVariant("42") << QVariant("42");
        QTest::newRow("empty text") << qint16(RealNumBox) << QVariant("") << QVariant("");
    }

    // The getter's rule, and empty, number and text kept apart through the bag.
    void defaultValue()
    {
        QFETCH(qint16, code);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        CmDecisionItem item;
        item.setIntControl(code);
        item.setDefaultValue(value);
        CmDecisionItem read;
        roundTrip(item, read);
        for (const QVariant& got : {item.DefaultValue(), read.DefaultValue()}) {
            QCOMPARE(got.metaType(), expected.metaType());
            QCOMPARE(got, expected);
        }
    }

    void badValueIsReportedAndSkipped()
    {
        QFile::remove(ErrorLogFilePath());
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("kvdHelp"), 70000, 0);
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("Still read"), QString());
        CmDecisionItem read;
        read.setKvdHelpID(7);
        read.IClassPersistable_ReadProperties(bag);
        QCOMPARE(read.kvdHelpID(), qint16(7));
        QCOMPARE(read.Caption(), QStringLiteral("Still read"));
        QFile log(ErrorLogFilePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("CmDecisionItem.IClassPersistable_ReadProperties"));
    }
};

KV_REGISTER_TEST(TestCmDecisionItemPersistence)
#include "tst_CmDecisionItemPersistence.moc"
