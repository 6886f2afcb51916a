#include "common/TestRegistry.h"

#include "lang/StringBuffer.h"

#include <QTest>

class TestStringBuffer : public QObject {
    Q_OBJECT

private slots:
    void trim();
    void append();
    void deleteRange_data();
    void deleteRange();
    void upperCaseLeavesOriginal();
    void find_data();
    void find();
    void charCodeAtAndLeft();
    void mid_data();
    void mid();
    void valueAndComparison();
};

void TestStringBuffer::trim()
{
    const StringBuffer buffer(QStringLiteral("  a b  "));
    QCOMPARE(buffer.Trim().Value(), QStringLiteral("a b"));
    QCOMPARE(buffer.Value(), QStringLiteral("  a b  "));
    // Only blanks go; a TAB in a stored record is data.
    QCOMPARE(StringBuffer(QStringLiteral("\ta\t")).Trim().Value(), QStringLiteral("\ta\t"));
    QCOMPARE(StringBuffer(QStringLiteral("   ")).Trim().Value(), QString());
}

void TestStringBuffer::append()
{
    StringBuffer buffer(QStringLiteral("n="));
    const qsizetype size = 12;
    buffer.Append(QStringLiteral("x")).Append(7).Append(size).Append(qint64(-5)).Append(0.1).Append(2.5);
    QCOMPARE(buffer.Value(), QStringLiteral("n=x712-50.12.5"));
}

void TestStringBuffer::deleteRange_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");
    QTest::newRow("middle") << 2 << 3 << "aef";
    QTest::newRow("past the end") << 5 << 10 << "abcd";
    QTest::newRow("count zero") << 2 << 0 << "abcdef";
    QTest::newRow("start zero") << 0 << 2 << "abcdef";
    QTest::newRow("start after end") << 7 << 1 << "abcdef";
}

void TestStringBuffer::deleteRange()
{
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(QString, expected);
    StringBuffer buffer(QStringLiteral("abcdef"));
    QCOMPARE(buffer.Delete(start, count).Value(), expected);
}

void TestStringBuffer::upperCaseLeavesOriginal()
{
    const StringBuffer buffer(QStringLiteral("Grüße 1a"));
    QCOMPARE(buffer.UpperCase().Value(), QStringLiteral("GRÜSSE 1A"));
    QCOMPARE(buffer.Value(), QStringLiteral("Grüße 1a"));
}

void TestStringBuffer::find_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::newRow("first") << "bc" << 1 << 2;
    QTest::newRow("after start") << "bc" << 3 << 5;
    QTest::newRow("past last") << "bc" << 6 << 0;
    QTest::newRow("absent") << "x" << 1 << 0;
    QTest::newRow("case matters") << "BC" << 1 << 0;
    QTest::newRow("start below one") << "a" << -3 << 1;
    QTest::newRow("start far beyond") << "a" << 50 << 0;
    QTest::newRow("last character") << "c" << 6 << 6;
}

void TestStringBuffer::find()
{
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(int, expected);
    QCOMPARE(StringBuffer(QStringLiteral("abcabc")).Find(needle, start), expected);
}

void TestStringBuffer::charCodeAtAndLeft()
{
    const StringBuffer buffer(QStringLiteral("AB\u20AC"));
    QCOMPARE(buffer.CharCodeAt(1), int('A'));
    QCOMPARE(buffer.CharCodeAt(3), 0x20AC);
    QCOMPARE(buffer.CharCodeAt(0), 0);
    QCOMPARE(buffer.CharCodeAt(4), 0);
    QCOMPARE(buffer.Left(2).Value(), QStringLiteral("AB"));
    QCOMPARE(buffer.Left(9).Value(), buffer.Value());
    QCOMPARE(buffer.Left(-1).Value(), QString());
}

void TestStringBuffer::mid_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count"); // -1: the overload without a count
    QTest::addColumn<QString>("expected");
    QTest::newRow("to end") << 3 << -1 << "cdef";
    QTest::newRow("after end") << 7 << -1 << "";
    QTest::newRow("with count") << 3 << 2 << "cd";
    QTest::newRow("count past end") << 5 << 9 << "ef";
    QTest::newRow("count zero") << 2 << 0 << "";
    QTest::newRow("start zero shortens") << 0 << 3 << "ab";
    QTest::newRow("start after end") << 9 << 2 << "";
}

void TestStringBuffer::mid()
{
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(QString, expected);
    const StringBuffer buffer(QStringLiteral("abcdef"));
    QCOMPARE((count < 0 ? buffer.Mid(start) : buffer.Mid(start, count)).Value(), expected);
}

void TestStringBuffer::valueAndComparison()
{
    StringBuffer buffer;
    QVERIFY(buffer.IsEmpty());
    buffer.setValue(QStringLiteral("abc"));
    QCOMPARE(buffer.Length(), 3);
    QVERIFY(buffer == QStringLiteral("abc"));
    QVERIFY(QStringLiteral("abc") == buffer);
    QVERIFY(buffer != QStringLiteral("ABC"));
    QVERIFY(buffer == StringBuffer(QStringLiteral("abc")));
    const QString& asText = buffer;
    QCOMPARE(asText, QStringLiteral("abc"));
    buffer.Clear();
    QCOMPARE(buffer.Length(), 0);
}

KV_REGISTER_TEST(TestStringBuffer)
#include "tst_StringBuffer.moc"
