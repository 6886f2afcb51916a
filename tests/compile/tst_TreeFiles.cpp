#include "CompileFixture.h"
#include "GoldenFile.h"
#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"

#include "compile/KvdTreeWriter.h"
#include "compile/KvwNotation.h"
#include "compile/KvwTreeWriter.h"
#include "model/CmDecisionItem.h"
#include "model/MDecisionDataUtil.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace MDecisionDataUtil;

namespace {

// Every interface once, with every line rule of the web tree file between them.
void addWebTree(CompileFixture& tree)
{
    CmDecisionItem& start = tree.add(1, u"Start"_s, Radio, {u"^Yes"_s, u"!GO Age"_s, u"^No & more"_s, u"!GO Done1"_s});
    start.setCaption(u"Pick <one> & go"_s);
    start.setHeading(u"Welcome to [[Start]].\r\nSecond line"_s);
    start.setPicture(u"Logo"_s);
    start.setKvwHelpID(u"help/start.html"_s);
    start.setGroup({u"Member"_s, u""_s});
    tree.add(2, u"Member"_s, Check, {u"^Checked"_s, u"!SET [[Age]]=18"_s, u"^Not Checked"_s});
    CmDecisionItem& age = tree.add(5, u"Age"_s, NumBox, {u"^1-5"_s, u"!GO Done1"_s, u"^10-"_s, u"^-3"_s});
    age.setMin(u"0"_s);
    age.setMax(u"120"_s);
    age.setDefaultValue(u"30"_s);
    tree.add(6, u"Colors"_s, List, {u"^Red"_s, u"^Blue"_s});
    tree.add(7, u"Extras"_s, MultiList, {u"^Roof"_s});
    tree.add(8, u"Models"_s, dList, {u"^Cars"_s});
    CmDecisionItem& combo = tree.add(9, u"Size"_s, Combo, {u"^Small"_s, u"^Large"_s});
    combo.setDefaultValue(u"Large"_s);
    tree.add(10, u"Brands"_s, dCombo);
    CmDecisionItem& real = tree.add(11, u"Budget"_s, RealNumBox);
    real.setMin(u"0.5"_s);
    real.setMax(u"99.5"_s);
    tree.add(12, u"Volume"_s, Slide, {u"^Low"_s, u"^High"_s});
    CmDecisionItem& slider = tree.add(13, u"Seats"_s, NumSlide, {u"^2-4"_s});
    slider.setMin(u"2"_s);
    slider.setMax(u"9"_s);
    tree.add(14, u"Remark"_s, StringBox, {u"!GO Done1"_s});
    tree.add(15, u"Order"_s, Command, {u"^Pushed"_s, u"!IF [[Member]]=\"Checked\""_s, u"!GO Done1"_s, u"^Not Pushed"_s});
    tree.add(16, u"About"_s, Info);
    tree.add(17, u"Done1"_s, Done);
    tree.add(18, u"Notes"_s, TextArea);
    tree.number();
    tree.addSelector(u"Cars"_s, {{u"Model"_s, u"Price"_s}, {u"Mini"_s, u"15000"_s, u"extra"_s}, {u""_s}, {u"Civic <LX>"_s, u"21000 & up"_s}});
    tree.addSelector(u"Empty"_s, {{u"Only"_s, u"Headers"_s}});
}

} // namespace

class TreeFilesTest : public QObject {
    Q_OBJECT

private slots:
    void webTreeFile()
    {
        CompileFixture tree;
        addWebTree(tree);
        KvwNotation notation(tree.decisions, tree.numbers);
        const KvwTreeWriter writer(tree.numbers, notation);
        const KvwFileSettings settings{u"/projects/Small Tree.kvw"_s, true, u"Cars & <Bikes>"_s, u"templates/plain.kvwt"_s,
                                       u"img"_s};
        QString message;
        QVERIFY2(GoldenFile::matches(u"small.kvw"_s, writer.Write(settings, tree.document.Storage().rootNode()),
                                     message),
                 qPrintable(message));
    }

    void webTreeFileWithoutSelectorsOrTemplate()
    {
        CompileFixture tree;
        tree.add(3, u"Only"_s, StringBox);
        tree.number();
        KvwNotation notation(tree.decisions, tree.numbers);
        const KvwTreeWriter writer(tree.numbers, notation);
        const QString text = QString::fromUtf8(
            writer.Write({u"out.kvw"_s, false, u"T"_s, QString(), QString()}, tree.document.Storage().rootNode()));
        QVERIFY(!text.contains(u"CriteriaLists"_s));
        QVERIFY(!text.contains(u"<Template>"_s));
        QVERIFY(!text.contains(u"<Default>"_s));
        QVERIFY(text.contains(u"\t\t<LeftImg></LeftImg>\n"_s));
        QVERIFY(text.contains(u"\t\t<DisplayedControls>1</DisplayedControls>\n"_s));
        QVERIFY(text.endsWith(u"</TreeFile>\n\r\n"_s));
    }

    // The blocks of a large tree are written side by side; the file holds them in tree order,
    // across the slices progress is reported between.
    void largeTreeKeepsItsOrder()
    {
        CompileFixture tree;
        SyntheticTree::fill(tree.decisions, 5000);
        tree.number();
        KvwNotation notation(tree.decisions, tree.numbers);
        const KvwTreeWriter writer(tree.numbers, notation);
        const KvwFileSettings settings{u"big.kvw"_s, false, u"Big"_s, QString(), QString()};
        QList<int> reported;
        const QString text = QString::fromUtf8(writer.Write(settings, tree.document.Storage().rootNode(),
                                                            [&reported](int percent) { reported.append(percent); }));
        QString expected = writer.Header(settings);
        for (int number = 1; number <= tree.numbers.count(); ++number)
            expected += writer.DecisionBlock(*tree.numbers.byNumber(number), QString());
        QVERIFY(text.startsWith(expected));
        QCOMPARE(text.mid(expected.size()), u"</Decisions>\n</TreeFile>\n\r\n"_s);
        QVERIFY(reported.size() >= 2);
        QCOMPARE(reported.last(), 100);
    }

    void pictureNamesStayInTheFolder_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << u"Logo 2"_s << u"Logo 2"_s;
        QTest::newRow("parent folder") << u"../x"_s << u"___x"_s;
        QTest::newRow("absolute") << u"/etc/passwd"_s << u"_etc_passwd"_s;
        QTest::newRow("backslashes and colon") << u"C:\\a\\b"_s << u"C__a_b"_s;
        QTest::newRow("hidden file") << u".profile"_s << u"_profile"_s;
    }
    void pictureNamesStayInTheFolder()
    {
        QFETCH(QString, picture);
        QFETCH(QString, file);
        QCOMPARE(KvwTreeWriter::PictureFileName(picture), file);
        QCOMPARE(KvwTreeWriter::PictureReference(picture, u"img"_s), u"img/"_s + file + u".jpg"_s);
    }

    void renumberedRulesText()
    {
        CompileFixture tree;
        CmDecisionItem& first = tree.add(1, u"Start"_s, Radio,
                                         {u"^Yes"_s, u"!GO 5"_s, u"^No"_s, u"!GO Member"_s, u"!IF [[7]]=\"Not Checked\""_s,
                                          u"!SET [[5]]=[[5]]+1"_s, u"!ENDIF"_s});
        first.setHeading(u"You are [[5]] years old"_s);
        first.setGroup({u"Age"_s, u"Member"_s});
        CmDecisionItem& age = tree.add(5, u"Age"_s, NumBox, {u"!GO 7"_s});
        age.setMin(u"0"_s);
        age.setMax(u"99"_s);
        tree.add(7, u"Member"_s, Check, {u"^Checked"_s, u"!GO Start"_s, u"^Not Checked"_s, u"!KILL Cars: [[Member]] = Checked"_s});
        tree.number();
        QVERIFY(tree.numbers.renumbers());
        KvwNotation notation(tree.decisions, tree.numbers);
        notation.setCompilingKVW(false);
        notation.setCompilingKVD(true);
        const KvdTreeWriter writer(tree.numbers, notation);
        QString message;
        QVERIFY2(GoldenFile::matches(u"renumbered.rules"_s, writer.RulesText().toUtf8(), message), qPrintable(message));
    }

    void numbersInOrderAreKept()
    {
        CompileFixture tree;
        tree.add(1, u"A"_s, Radio, {u"^x"_s, u"!GO 3"_s});
        tree.add(2, u"B"_s, Info);
        tree.add(3, u"C"_s, Done);
        tree.number();
        QVERIFY(!tree.numbers.renumbers());
        KvwNotation notation(tree.decisions, tree.numbers);
        notation.setCompilingKVW(false);
        const KvdTreeWriter writer(tree.numbers, notation);
        const QString text = writer.RulesText();
        QVERIFY(text.startsWith(u"BEGIN\r\n1\t"_s));
        QVERIFY(text.contains(u"\t!GO 3\t\r\n"_s));
    }

    void numberTableGrowsByTen()
    {
        CompileFixture tree;
        tree.add(3, u"A"_s, Info);
        tree.add(25, u"B"_s, Info);
        tree.number();
        QCOMPARE(tree.numbers.size(), 35);
        QCOMPARE(tree.numbers.NewIntID(25), qint16(2));
        QCOMPARE(tree.numbers.NewIntID(4), qint16(0));
        QCOMPARE(tree.numbers.NewIntID(400), qint16(0));
    }

    void callingAppKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("short name padded") << u"My Tree.kvp"_s << u"MyTree_________-"_s;
        QTest::newRow("long name cut") << u"AVeryLongProjectNameIndeed.kvp"_s << u"AVeryLongProjec-"_s;
        QTest::newRow("no name") << u""_s << u"mvcUnknown_____-"_s;
        QTest::newRow("nothing usable") << u"äöü.kvp"_s << u"mvcUnknown_____-"_s;
    }
    void callingAppKey()
    {
        QFETCH(QString, name);
        QFETCH(QString, prefix);
        const QString key = KvdTreeWriter::CreateCallingAppKey(name);
        QCOMPARE(key.size(), 20);
        QVERIFY2(key.startsWith(prefix), qPrintable(key));
        QCOMPARE(key, KvdTreeWriter::CreateCallingAppKey(name));
    }

    void keysOfSimilarNamesDiffer()
    {
        QVERIFY(KvdTreeWriter::CreateCallingAppKey(u"AVeryLongProjectNameOne.kvp"_s)
                != KvdTreeWriter::CreateCallingAppKey(u"AVeryLongProjectNameTwo.kvp"_s));
    }
};

KV_REGISTER_TEST(TreeFilesTest)
#include "tst_TreeFiles.moc"
