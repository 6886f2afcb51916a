#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "runtime/CompiledTree.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// A web tree costs what it holds: each way a file can grow (decisions, attributes, white space,
// options, selector items) is read in time linear in its size, and an element with more
// attributes than the format has is refused before the XML reader weighs them against each other.
namespace {

QByteArray treeFile(const QByteArray& decisions, const QByteArray& lists = {})
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<TreeFile>\n<EarlyFinish>Off</EarlyFinish>\n<Decisions>\n" + decisions
           + "</Decisions>\n" + lists + "</TreeFile>\n";
}

QByteArray numberBox(const QByteArray& rangeAttributes)
{
    return "<Decision><Number>1</Number><Name>N</Name><Type>NumBox</Type><Range " + rangeAttributes
           + "/></Decision>\n";
}

StorageResult readText(const QByteArray& text)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("tree.kvw")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("test file not written"));
    file.close();
    CompiledTree tree;
    return CompiledTree::readWebFile(file.fileName(), tree);
}

QByteArray junkAttributes(int count)
{
    QByteArray junk = "From='1' To='9'";
    for (int i = 0; i < count; ++i)
        junk += " a" + QByteArray::number(i) + "='x'";
    return junk;
}

// A web tree that grows by count in one way.
QByteArray grown(const QByteArray& way, int count)
{
    if (way == "attributes")
        return treeFile(numberBox(junkAttributes(count)));
    if (way == "white space")
        return treeFile("<Decision>" + QByteArray("&#32;").repeated(count) + "<Number>1</Number><Type>Info</Type></Decision>");
    if (way == "decisions") {
        QByteArray decisions;
        for (int number = 1; number <= count; ++number)
            decisions += "<Decision><Number>" + QByteArray::number(number) + "</Number><Type>Info</Type></Decision>\n";
        return treeFile(decisions);
    }
    if (way == "options")
        return treeFile("<Decision><Number>1</Number><Type>Radio</Type>"
                        + QByteArray("<Option>A<Action>!GO 1</Action></Option>").repeated(count) + "</Decision>");
    QByteArray items;
    for (int i = 0; i < count; ++i)
        items += "<CriteriaItem><Category Name='Name'>x</Category></CriteriaItem>";
    return treeFile("<Decision><Number>1</Number><Type>Info</Type></Decision>",
                    "<CriteriaLists><CriteriaList Name='L'>" + items + "</CriteriaList></CriteriaLists>");
}

qint64 msToRead(const QByteArray& text)
{
    QElapsedTimer timer;
    timer.start();
    static_cast<void>(readText(text));
    return timer.elapsed();
}

} // namespace

class TestWebTreeGrowth : public QObject {
    Q_OBJECT

private slots:
    void elementsWithManyAttributesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("read");
        QTest::newRow("a range as written") << treeFile(numberBox("From='1' To='9'")) << true;
        QTest::newRow("a handful") << treeFile(numberBox(junkAttributes(2))) << true;
        QTest::newRow("one more") << treeFile(numberBox(junkAttributes(3))) << false;
        QTest::newRow("100,000") << treeFile(numberBox(junkAttributes(100000))) << false;
        QTest::newRow("'=' in quotes counts for nothing")
            << treeFile(numberBox("From='1' To='9' x='a=b=c=d=e=f'")) << true;
        QTest::newRow("'=' in a comment counts for nothing")
            << treeFile("<!-- <a b=1 c=2 d=3 e=4 f=5> -->" + numberBox("From='1' To='9'")) << true;
    }
    void elementsWithManyAttributesAreRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, read);
        const StorageResult result = readText(text);
        QVERIFY2(result.ok() == read, qPrintable(result.message));
        if (!read)
            QVERIFY2(result.message.contains(LoadResString(33227).arg(4)) && result.message.contains(QStringLiteral("line 5")),
                     qPrintable(result.message));
    }

    void readingGrowsLinearly_data()
    {
        QTest::addColumn<QByteArray>("way");
        QTest::addColumn<int>("count");
        QTest::newRow("attributes of one element") << QByteArray("attributes") << 20000;
        QTest::newRow("white space between elements") << QByteArray("white space") << 20000;
        QTest::newRow("decisions") << QByteArray("decisions") << 3000;
        QTest::newRow("options of one decision") << QByteArray("options") << 4000;
        QTest::newRow("items of one selector") << QByteArray("items") << 4000;
    }
    void readingGrowsLinearly()
    {
        QFETCH(QByteArray, way);
        QFETCH(int, count);
        const qint64 small = std::max<qint64>(msToRead(grown(way, count)), 2);
        const qint64 large = msToRead(grown(way, 8 * count));
        // Eight times the input: linear is about 8, quadratic about 64.
        QVERIFY2(large < 30 * small, qPrintable(QStringLiteral("%1 ms vs %2 ms").arg(large).arg(small)));
    }
};

KV_REGISTER_TEST(TestWebTreeGrowth)
#include "tst_WebTreeGrowth.moc"
