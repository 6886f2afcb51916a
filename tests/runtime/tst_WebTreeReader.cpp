#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "runtime/AnswerList.h"
#include "runtime/AnsweredRun.h"
#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray decision(int number, const QByteArray& type, const QByteArray& body = {})
{
    return "\t<Decision>\n\t\t<Number>" + QByteArray::number(number) + "</Number>\n\t\t<Name>C" + QByteArray::number(number)
           + "</Name>\n\t\t<Type>" + type + "</Type>\n" + body + "\t</Decision>\n";
}

QByteArray treeFile(const QByteArray& decisions, const QByteArray& lists = {})
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<TreeFile>\n<EarlyFinish>Off</EarlyFinish>\n<Decisions>\n" + decisions
           + "</Decisions>\n" + lists + "</TreeFile>\n\r\n";
}

StorageResult readText(const QByteArray& text, CompiledTree& tree)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("tree.kvw")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return StorageResult::failure(StorageErrorKind::Io, QStringLiteral("test file not written"));
    file.close();
    return CompiledTree::readWebFile(file.fileName(), tree);
}

} // namespace

// What the reader makes of web tree files another program wrote: the parts the desktop tree
// has besides, and damaged or hostile files, which end in a message and never in a crash.
class TestWebTreeReader : public QObject {
    Q_OBJECT

private slots:
    void readsWhatTheDesktopTreeHolds();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void deepExpressionEndsTheRunWithAMessage();
};

void TestWebTreeReader::readsWhatTheDesktopTreeHolds()
{
    const QByteArray text = treeFile(
        decision(4, "Radio", "<Default>A</Default>\n\t\t<DisplayedControls>4</DisplayedControls>\n"
                             "\t\t<DisplayedControls>7</DisplayedControls>\n\t\t<DisplayedControls>7</DisplayedControls>\n"
                             "\t\t<Option>A\n\t\t\t<Action>!GO [[7]];</Action>\n\t\t</Option>\n\t\t<Option>B\n\t\t</Option>\n")
            + decision(7, "Radio", "\t\t<Default>B</Default>\n\t\t<Option>A\n\t\t</Option>\n\t\t<Option>B\n\t\t</Option>\n")
            + decision(9, "NumBox", "\t\t<Range From='2' To='8' />\n"),
        "<CriteriaLists>\n\t<CriteriaList Name='Cars'>\n\t\t<CriteriaItem Name='Mini'>\n"
        "\t\t<Category Name='Model'>Mini</Category>\n\t\t</CriteriaItem>\n"
        "\t\t<CriteriaItem Name='Van'>\n\t\t<Category Name='Model'>Van</Category>\n"
        "\t\t<Category Name='Seats'>8</Category>\n\t\t</CriteriaItem>\n\t</CriteriaList>\n</CriteriaLists>\n");
    CompiledTree tree;
    const StorageResult read = readText(text, tree);
    QVERIFY2(read.ok(), qPrintable(read.message));
    RuntimeEngine engine;
    QVERIFY2(engine.load(tree).ok(), qPrintable(tree.rulesText));
    // The unindented default came from the first option: the control has none of its own.
    QCOMPARE(engine.control(4)->defaultValue, QString());
    QCOMPARE(engine.control(7)->defaultValue, QStringLiteral("B"));
    QCOMPARE(engine.control(4)->displayedIds, QList<int>{7});
    QCOMPARE(engine.control(4)->options.first().actions, QStringList{QStringLiteral("!GO C7")});
    QCOMPARE(engine.control(9)->options.size(), 1);
    QCOMPARE(engine.control(9)->options.first().text, QStringLiteral("2-8"));
    QCOMPARE(tree.tables.size(), 1);
    QCOMPARE(tree.tables.first().rows,
             (CsvTable::Rows{{QStringLiteral("Model"), QStringLiteral("Seats")}, {QStringLiteral("Mini")},
                             {QStringLiteral("Van"), QStringLiteral("8")}}));
}

void TestWebTreeReader::refusesDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("detail");

    const QByteArray one = decision(1, "Info");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("not XML") << QByteArray("BEGIN\r\n1\t\tWelcome") << QString();
    QTest::newRow("cut off") << treeFile(one).left(120) << QString();
    QTest::newRow("another root") << QByteArray("<Tree/>") << LoadResString(33103).arg("Tree", "-");
    QTest::newRow("no decisions") << QByteArray("<TreeFile><EarlyFinish>Off</EarlyFinish></TreeFile>")
                                  << LoadResString(33102).arg("Decisions");
    QTest::newRow("no number") << treeFile("<Decision><Type>Info</Type></Decision>") << LoadResString(33106).arg("Number");
    QTest::newRow("number is a word") << treeFile("<Decision><Number>one</Number></Decision>") << LoadResString(33104).arg("one");
    QTest::newRow("number too large") << treeFile("<Decision><Number>99999999999</Number></Decision>")
                                      << LoadResString(33104).arg("99999999999");
    QTest::newRow("number twice") << treeFile(one + one) << LoadResString(33105).arg(1);
    QTest::newRow("shown control is a word")
        << treeFile(decision(1, "Info", "<DisplayedControls>x</DisplayedControls>")) << LoadResString(33104).arg("x");
    QTest::newRow("element inside an action")
        << treeFile(decision(1, "Info", "<Action>!GO <b/></Action>")) << QString();
    QTest::newRow("unknown element in an option")
        << treeFile(decision(1, "Radio", "<Option>A<Foo/></Option>")) << LoadResString(33103).arg("Foo", "Option");
    QTest::newRow("deep nesting") << treeFile(decision(1, "Info", QByteArray("<a>").repeated(200000)))
                                  << LoadResString(33103).arg("a", "Decision");
    QTest::newRow("entities that grow")
        << QByteArray("<!DOCTYPE TreeFile [<!ENTITY a \"aaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>")
               + treeFile(decision(1, "Info", "<ControlCaption>&b;&b;&b;</ControlCaption>"))
        << LoadResString(33108);
    QTest::newRow("sub-range without its end")
        << treeFile(decision(1, "NumBox", "<SubRange From='1'></SubRange>")) << LoadResString(33107).arg("SubRange", "To");
    QTest::newRow("selector without a name")
        << treeFile(one, "<CriteriaLists><CriteriaList></CriteriaList></CriteriaLists>")
        << LoadResString(33107).arg("CriteriaList", "Name");
    QTest::newRow("early finish neither on nor off")
        << QByteArray("<TreeFile><EarlyFinish>Maybe</EarlyFinish><Decisions/></TreeFile>") << LoadResString(33109).arg("Maybe");
    QTest::newRow("content after the root") << treeFile(one) + "<TreeFile/>" << QString();
    QByteArray many;
    for (int number = 1; number <= 32768; ++number)
        many += "<Decision><Number>" + QByteArray::number(number) + "</Number><Type>Info</Type></Decision>";
    QTest::newRow("more decisions than numbers") << treeFile(many) << LoadResString(33104).arg("32768");
}

void TestWebTreeReader::refusesDamagedFiles()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, detail);
    CompiledTree tree;
    tree.rulesText = QStringLiteral("unchanged");
    const StorageResult read = readText(text, tree);
    QVERIFY(!read.ok());
    QVERIFY2(read.message.contains(QStringLiteral("tree.kvw")) && read.message.contains(QStringLiteral("line")),
             qPrintable(read.message));
    QVERIFY2(read.message.contains(detail), qPrintable(read.message));
    QCOMPARE(tree.rulesText, QStringLiteral("unchanged"));
}

// The reader hands on an expression nested past the grammar's depth as it stands; the engine
// stops the run there with its message.
void TestWebTreeReader::deepExpressionEndsTheRunWithAMessage()
{
    const int depth = 100000;
    const QByteArray condition = QByteArray("(").repeated(depth) + "[[1]](num)>1" + QByteArray(")").repeated(depth);
    CompiledTree tree;
    const StorageResult read =
        readText(treeFile(decision(1, "Info", "<Action>!IF " + condition + ";,!GO [[1]];,!ENDIF;</Action>")), tree);
    QVERIFY2(read.ok(), qPrintable(read.message));
    RuntimeEngine engine;
    QVERIFY(engine.load(tree).ok());
    AnswerList answers;
    QVERIFY(!answers.parse(QString()).has_value());
    AnsweredRun run(engine, answers);
    QCOMPARE(run.run(QString()), AnsweredRun::Outcome::Stopped);
    QVERIFY2(engine.errorText().contains(LoadResString(31016).section(QLatin1Char('%'), 0, 0)), qPrintable(engine.errorText()));
}

KV_REGISTER_TEST(TestWebTreeReader)
#include "tst_WebTreeReader.moc"
