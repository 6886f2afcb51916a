#include "common/TestRegistry.h"

#include "lang/StringBuffer.h"

#include <QTest>

class TestStringBuffer : public QObject {
    Q_OBJECT

private slots:
    void trimAndUpperCaseLeaveTheOriginal();
    void append();
    void slices_data();
    void slices();
    void find_data();
    void find();
    void charCodeAt();
};

void TestStringBuffer::trimAndUpperCaseLeaveTheOriginal()
{
    const StringBuffer buffer(QStringLiteral("  Grüße 1a  "));
    QCOMPARE(buffer.Trim().Value(), QStringLiteral("Grüße 1a"));
    QCOMPARE(buffer.UpperCase().Value(), QStringLiteral("  GRÜSSE 1A  "));
    QCOMPARE(buffer.Value(), QStringLiteral("  Grüße 1a  "));
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

// Delete, Mid and Left on "abcdef" with 1-based positions; out-of-range parts are ignored.
void TestStringBuffer::slices_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count"); // -1: Mid without a count
    QTest::addColumn<QString>("expected");
    QTest::newRow("delete middle") << "Delete" << 2 << 3 << "aef";
    QTest::newRow("delete past the end") << "Delete" << 5 << 10 << "abcd";
    QTest::newRow("delete count zero") << "Delete" << 2 << 0 << "abcdef";
    QTest::newRow("delete start zero") << "Delete" << 0 << 2 << "abcdef";
    QTest::newRow("delete start after end") << "Delete" << 7 << 1 << "abcdef";
    QTest::newRow("mid to end") << "Mid" << 3 << -1 << "cdef";
    QTest::newRow("mid after end") << "Mid" << 7 << -1 << "";
    QTest::newRow("mid with count") << "Mid" << 3 << 2 << "cd";
    QTest::newRow("mid count past end") << "Mid" << 5 << 9 << "ef";
    QTest::newRow("mid count zero") << "Mid" << 2 << 0 << "";
    QTest::newRow("mid start zero shortens") << "Mid" << 0 << 3 << "ab";
    QTest::newRow("mid start after end") << "Mid" << 9 << 2 << "";
    QTest::newRow("left") << "Left" << 0 << 2 << "ab";
    QTest::newRow("left beyond the end") << "Left" << 0 << 9 << "abcdef";
    QTest::newRow("left negative") << "Left" << 0 << -1 << "";
}

void TestStringBuffer::slices()
{
    QFETCH(QString, operation);
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(QString, expected);
    StringBuffer buffer(QStringLiteral("abcdef"));
    if (operation == QLatin1String("Delete"))
        QCOMPARE(buffer.Delete(start, count).Value(), expected);
    else if (operation == QLatin1String("Left"))
        QCOMPARE(buffer.Left(count).Value(), expected);
    else
        QCOMPARE((count < 0 ? buffer.Mid(start) : buffer.Mid(start, count)).Value(), expected);
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

void TestStringBuffer::charCodeAt()
{
    const StringBuffer buffer(QStringLiteral("AB\u20AC"));
    QCOMPARE(buffer.CharCodeAt(1), int('A'));
    QCOMPARE(buffer.CharCodeAt(3), 0x20AC);
    QCOMPARE(buffer.CharCodeAt(0), 0);
    QCOMPARE(buffer.CharCodeAt(4), 0);
}

KV_REGISTER_TEST(TestStringBuffer)
#include "tst_StringBuffer.moc"
