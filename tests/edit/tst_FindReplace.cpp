#include "common/TestRegistry.h"
#include "edit/UndoProject.h"

#include "base/ResourceStrings.h"
#include "edit/CcEdit.h"
#include "edit/FindReplace.h"
#include "edit/FindText.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"

#include <QTest>

namespace {

SearchRequest request(const QString& text, const QString& replacement = QString(), int area = SearchRequest::DecisionTree)
{
    SearchRequest r;
    r.text = text;
    r.replacement = replacement;
    r.area = area;
    return r;
}

// The keys of the controls a search passes through, match by match, until it finds nothing.
QList<int> visited(const FindReplace& finder, const SearchRequest& r, qint16 start)
{
    QList<int> keys;
    std::optional<FoundMatch> last;
    while (const std::optional<FoundMatch> next = finder.NextInTree(r, start, last)) {
        keys.append(next->key);
        last = next;
        if (keys.size() > 20)
            break;
    }
    return keys;
}

} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT

private slots:
    void textTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("expected");
        QTest::newRow("whole word past a match inside a word") << "concat cat" << "cat" << true << false << 7;
        QTest::newRow("underscore is no word character") << "cat_1" << "cat" << true << false << 0;
        QTest::newRow("digit is a word character") << "cat1 x" << "cat" << true << false << -1;
        QTest::newRow("only inside words") << "concatenate" << "cat" << true << false << -1;
        QTest::newRow("any case") << "the price" << "PRICE" << false << false << 4;
        QTest::newRow("case counts") << "the price" << "PRICE" << false << true << -1;
        QTest::newRow("empty search") << "text" << "" << false << false << -1;
    }
    void textTest()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(int, expected);
        QCOMPARE(FindText::Find(text, search, {wholeWord, matchCase}), expected);
    }

    void replaceAllEndsWhenTheReplacementHoldsTheSearch()
    {
        QString text = QStringLiteral("a banana");
        QCOMPARE(FindText::ReplaceAll(text, "a", "aa", {}), 4);
        QCOMPARE(text, QStringLiteral("aa baanaanaa"));
        text = QStringLiteral("cat concat cat");
        QCOMPARE(FindText::ReplaceAll(text, "cat", "dog", {true, false}), 2);
        QCOMPARE(text, QStringLiteral("dog concat dog"));
    }

    void directionsVisitControlsInTurn_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("backward from five") << 0 << 5 << QList<int>{5, 4, 3, 2, 1};
        QTest::newRow("forward from three") << 1 << 3 << QList<int>{3, 4, 5};
        QTest::newRow("all directions from three") << 2 << 3 << QList<int>{3, 4, 5, 1, 2};
    }
    void directionsVisitControlsInTurn()
    {
        QFETCH(int, direction);
        QFETCH(int, start);
        QFETCH(QList<int>, expected);
        UndoProject p;
        p.addControls(5);
        FindReplace finder(p.decisions);
        SearchRequest r = request("Caption");
        r.direction = direction;
        QCOMPARE(visited(finder, r, static_cast<qint16>(start)), expected);
    }

    void fieldsAreSearchedInOrder()
    {
        UndoProject p;
        p.addControls(2);
        CmDecisionItem* item = p.decisions.Item(1);
        item->setPicture("zz.png");
        item->EditHeading("<B>zz</B>");
        item->setCaption("zz");
        item->setOptsAndActs({"^zz", "!GO zz"});
        FindReplace finder(p.decisions);
        QList<int> fields;
        QList<int> lines;
        for (const FoundMatch& m : finder.FindAll(request("zz"))) {
            fields << m.field;
            lines << m.line;
        }
        QCOMPARE(fields, (QList<int>{FoundMatch::Picture, FoundMatch::Heading, FoundMatch::Caption, FoundMatch::Option,
                                     FoundMatch::Option}));
        QCOMPARE(lines, (QList<int>{-1, -1, -1, 0, 1}));
    }

    void namesAreReplacedThroughRenameAndRefusalsSkipped()
    {
        UndoProject p;
        p.addControls(3);
        p.tree.Rename("Control3", "Alpha", 3);
        FindReplace finder(p.decisions);
        finder.setTree(&p.tree);
        // Control1's go line, then the name itself; Alpha cannot take the name Control1.
        FindReplace::Outcome outcome = finder.ReplaceAll(request("Control2", "Beta2"));
        QCOMPARE(p.decisions.Item(2)->strID(), QStringLiteral("Beta2"));
        QCOMPARE(p.decisions.Item(1)->OptsAndActs().value(1), QStringLiteral("!GO Beta2"));
        QCOMPARE(outcome.replaced, 2);
        QCOMPARE(outcome.skipped, 0);
        outcome = finder.ReplaceAll(request("Alpha", "Control1"));
        QCOMPARE(p.decisions.Item(3)->strID(), QStringLiteral("Alpha"));
        QCOMPARE(outcome.skipped, 1);
        QCOMPARE(p.decisions.Item(2)->OptsAndActs().value(1), QStringLiteral("!GO Control1"));
        QCOMPARE(outcome.replaced, 1);
    }

    void countIsWide()
    {
        UndoProject p;
        p.addControls(1);
        p.decisions.Item(1)->setCaption(QString(70000, QLatin1Char('q')));
        FindReplace finder(p.decisions);
        QCOMPARE(finder.ReplaceAll(request("q", "qq")).replaced, qint64{70000});
        QCOMPARE(p.decisions.Item(1)->Caption().size(), 140000);
    }

    void everyReplacementIsUndoable()
    {
        UndoProject p;
        p.addControls(3);
        CvCriteriaList* grid = p.addSelector();
        QVERIFY(grid);
        p.selectors.Manager().Remove("S"); // stored only: the replacement opens it
        const QString before = p.snapshot();
        FindReplace finder(p.decisions);
        finder.setTree(&p.tree);
        finder.setSelectors(&p.selectors, &p.explorer, &p.document);
        const FindReplace::Outcome outcome = finder.ReplaceAll(request("a", "A", SearchRequest::Everything));
        QVERIFY(outcome.replaced > 0);
        QVERIFY(p.snapshot() != before);
        QVERIFY(p.editor()); // opened for its edits
        while (p.undo.UndoCount() > 0)
            p.undo.UndoCommand();
        QCOMPARE(p.snapshot(), before);
    }

    void findNextWalksAndTellsTheEnd()
    {
        UndoProject p;
        p.addControls(2);
        CcEdit edit(p.decisions, p.prompt);
        edit.setTree(&p.tree);
        edit.setDocument(&p.document);
        edit.Request() = request("Caption");
        edit.Find();
        edit.FindNext();
        QCOMPARE(edit.LastMatch()->key, 1);
        QCOMPARE(p.decisions.Selected(), p.decisions.Item(1));
        edit.FindNext();
        QCOMPARE(edit.LastMatch()->key, 2);
        edit.FindNext();
        QVERIFY(!edit.LastMatch());
        QCOMPARE(p.prompt.shownTexts().value(0), LoadResString(12200));

        // Replace takes the match found and goes on after it (and after what it put in). A new
        // search starts from the selected control, or the first.
        p.tree.DeSelectDecision();
        edit.Request() = request("Caption", "Caption Caption");
        edit.Find();
        edit.FindNext();
        edit.Replace();
        QCOMPARE(p.decisions.Item(1)->Caption(), QStringLiteral("Caption Caption 1"));
        QCOMPARE(edit.LastMatch()->key, 2);
    }

    void replaceAllTellsTheCount_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << "Caption 1" << LoadResString(12201) + "1" + LoadResString(12202);
        QTest::newRow("none") << "nowhere" << LoadResString(12201) + "0" + LoadResString(12203);
    }
    void replaceAllTellsTheCount()
    {
        QFETCH(QString, search);
        QFETCH(QString, expected);
        UndoProject p;
        p.addControls(2);
        CcEdit edit(p.decisions, p.prompt);
        edit.Request() = request(search, "x");
        edit.ReplaceAll();
        QCOMPARE(p.prompt.shownTexts().value(0), expected);
    }

    // Beyond the history's depth of twenty: one undo gives back every replacement, one redo
    // makes them again, and the prompt still counts them all.
    void replaceAllIsOneCommandOfTheHistory()
    {
        UndoProject p;
        p.addControls(30);
        p.addSelector();
        CcEdit edit(p.decisions, p.prompt);
        edit.setTree(&p.tree);
        edit.setDocument(&p.document);
        edit.setSelectors(&p.selectors, &p.explorer);
        const QString before = p.snapshot();
        edit.Undo().Clear();
        edit.Request() = request("a", "aa", SearchRequest::Everything);
        QVERIFY(edit.ReplaceAll() > CcUndo::Depth);
        const QString after = p.snapshot();
        QCOMPARE(edit.Undo().UndoCount(), 1);
        edit.UndoCommand();
        QCOMPARE(p.snapshot(), before);
        QCOMPARE(edit.Undo().UndoCount(), 0);
        QCOMPARE(edit.Undo().RedoCount(), 1);
        edit.RedoCommand();
        QCOMPARE(p.snapshot(), after);
        edit.UndoCommand();
        QCOMPARE(p.snapshot(), before);
    }
};

KV_REGISTER_TEST(TestFindReplace)
#include "tst_FindReplace.moc"
