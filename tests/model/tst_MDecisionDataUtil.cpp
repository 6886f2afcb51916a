#include "common/TestRegistry.h"

#include "model/MDecisionDataUtil.h"

#include <QTest>

using namespace MDecisionDataUtil;

class TestMDecisionDataUtil : public QObject {
    Q_OBJECT

private slots:
    void everyCodeRoundTrips()
    {
        for (qint16 code = 0; code < ControlTypeCount; ++code) {
            QCOMPARE(ControlStrToInt(ControlIntToStr(code).toLower()), code);
            QCOMPARE(CtlResIDToKvdCtl(CtlKvdCtlToResID(code)), code);
            QVERIFY(!ControlDisplayName(code).isEmpty());
        }
    }

    void types_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint16>("code");
        QTest::addColumn<int>("resId");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<int>("kind");
        QTest::newRow("Radio") << "Radio" << qint16(0) << 1141 << "Radio Button" << int(ChoiceData);
        QTest::newRow("Check") << "Check" << qint16(1) << 1130 << "Check Box" << int(BooleanData);
        QTest::newRow("dList") << "dList" << qint16(4) << 1137 << "dList Box" << int(ChoiceData);
        QTest::newRow("NumSlide") << "NumSlide" << qint16(10) << 1140 << "NumSlide" << int(NumericData);
        QTest::newRow("Command") << "Command" << qint16(12) << 1133 << "Command Button" << int(BooleanData);
        QTest::newRow("TextArea") << "TextArea" << qint16(15) << 1145 << "TextArea" << int(ChoiceData);
        // Misses: unknown names give 16, unknown codes nothing, unknown ids Radio.
        QTest::newRow("display name") << "Text Area" << qint16(16) << 1146 << "" << int(ChoiceData);
        QTest::newRow("padded name") << " Radio" << qint16(-1) << 1129 << "" << int(ChoiceData);
        QTest::newRow("empty name") << "" << qint16(32767) << 1030 << "" << int(ChoiceData);
    }

    void types()
    {
        QFETCH(QString, name);
        QFETCH(qint16, code);
        QFETCH(int, resId);
        QFETCH(QString, displayName);
        QFETCH(int, kind);
        const bool known = !displayName.isEmpty();
        QCOMPARE(ControlStrToInt(name.toUpper()), known ? code : UnknownControl);
        QCOMPARE(ControlIntToStr(code), known ? name : QString());
        QCOMPARE(CtlKvdCtlToResID(code), known ? resId : 0);
        QCOMPARE(CtlResIDToKvdCtl(resId), known ? code : qint16(Radio));
        QCOMPARE(ControlDisplayName(code), displayName);
        QCOMPARE(int(GetDataType(code)), kind);
    }
};

KV_REGISTER_TEST(TestMDecisionDataUtil)
#include "tst_MDecisionDataUtil.moc"
