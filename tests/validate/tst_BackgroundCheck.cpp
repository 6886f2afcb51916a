#include "common/SyntheticTree.h"
#include "common/TestRegistry.h"

#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "persist/PictureStore.h"
#include "persist/ProjectNodes.h"
#include "selectors/SelectorStore.h"
#include "validate/CcValidation.h"
#include "validate/ControlLocation.h"
#include "validate/LiveValidation.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

// Large enough that the check on the other thread is still running when the test edits.
constexpr int TreeSize = 1500;

struct Project {
    CmDecisionManager decisions;
    CmDocument document;

    // A generated tree, plus lines that read the stored selectors and pictures the check copies:
    // a property the table lacks, an item it has, an external selector, a missing selector,
    // a picture that is there and one that is not.
    Project()
    {
        SyntheticTree::fill(decisions, TreeSize);
        SelectorStore store(document.Storage());
        store.WriteText(QStringLiteral("Cars"), QStringLiteral("Item,Price\r\nVan,3\r\n"));
        StorageNode node = document.Storage().rootNode();
        node.open(ProjectNodes::ExternalDatabases + QStringLiteral("Remote"));
        node.writeText(QStringLiteral("settings"));
        document.Storage().pictures().add(QStringLiteral("Logo"), QByteArray("picture"));
        const QStringList lines{QStringLiteral("^A"), QStringLiteral("!KILL cars: Colour = 1"),
                                QStringLiteral("!SORT CARS: Price; A"), QStringLiteral("!KILL Remote: Size > 2"),
                                QStringLiteral("!IF <<Cars:Price;Van>> = 3"), QStringLiteral("!IF <<Boats:Price>> = 1"),
                                QStringLiteral("!ENDIF"), QStringLiteral("!ENDIF")};
        for (int position = 1; position <= TreeSize; position += 97) {
            CmDecisionItem* item = decisions.ItemByIndex(position);
            item->setOptsAndActs(item->OptsAndActs() + lines);
            item->setPicture(position % 2 ? QStringLiteral("logo") : QStringLiteral("Missing"));
        }
    }

    // A full validation with the paths, for both runtimes: what the live list must equal.
    QList<ValidationFindings::Entry> fullCheck() const
    {
        CcValidation validation(decisions, document);
        validation.setAnalyzePaths(true);
        validation.Validate();
        return validation.Findings().entries();
    }
};

// Waits for the check on the other thread to report back.
bool settled(LiveValidation& live)
{
    return QTest::qWaitFor([&live] { return !live.Checking(); }, 60000);
}

} // namespace

// The whole-tree checks run on another thread while the tree is edited: they find what a full
// validation finds, and a result the edits overtook is dropped, never shown.
class TestBackgroundCheck : public QObject {
    Q_OBJECT

private slots:
    void findsWhatAFullValidationFinds();
    void anOvertakenResultIsDropped_data();
    void anOvertakenResultIsDropped();
    void closingWhileChecking_data();
    void closingWhileChecking();
};

void TestBackgroundCheck::findsWhatAFullValidationFinds()
{
    Project p;
    LiveValidation live(p.decisions, p.document);
    QSignalSpy changed(&live, &LiveValidation::findingsChanged);
    live.StartCheck();
    QVERIFY(live.Checking());
    // Nothing is taken until the thread reports back.
    QVERIFY(live.Stale());
    QVERIFY(settled(live));
    QVERIFY(!live.Stale());
    QVERIFY(!live.PathsStale());
    QVERIFY(changed.count() > 0);
    const QList<ValidationFindings::Entry> full = p.fullCheck();
    // What the copied selectors and pictures decide is among the findings, and only once each.
    const auto count = [&full](const QString& text) {
        return std::count_if(full.cbegin(), full.cend(),
                             [&text](const ValidationFindings::Entry& entry) { return entry.message.contains(text); });
    };
    const auto planted = (TreeSize + 96) / 97;
    for (int position = 1; position <= TreeSize; position += 97) {
        const QString name = ControlLocation::NameOf(*p.decisions.ItemByIndex(position));
        const bool missing = std::any_of(full.cbegin(), full.cend(), [&name](const ValidationFindings::Entry& entry) {
            return entry.control() == name && entry.message.startsWith(QStringLiteral("Invalid picture"));
        });
        QCOMPARE(missing, position % 2 == 0);
    }
    QCOMPARE(count(QStringLiteral("Selector reference: Boats")), planted);
    QCOMPARE(count(QStringLiteral("has no property Colour")), planted);
    QCOMPARE(live.Findings(), full);
    // The same as checking on this thread, control by control.
    LiveValidation here(p.decisions, p.document);
    here.Check();
    QCOMPARE(here.Findings(), full);
    QCOMPARE(live.Errors(), here.Errors());
    QCOMPARE(live.Warnings(), here.Warnings());
    // Every control is followed afterwards: an edit is rechecked at once.
    CmDecisionItem* item = p.decisions.ItemByIndex(5);
    item->setOptsAndActs(item->OptsAndActs() + QStringList{QStringLiteral("!GO Nowhere")});
    QVERIFY(live.LastRecheckCount() < TreeSize / 10);
    live.StartCheck();
    QVERIFY(settled(live));
    QCOMPARE(live.Findings(), p.fullCheck());
}

using Edit = std::function<void(Project&)>;

void TestBackgroundCheck::anOvertakenResultIsDropped_data()
{
    QTest::addColumn<bool>("fullCheck");
    QTest::addColumn<Edit>("edit");
    const Edit goNowhere = [](Project& p) {
        CmDecisionItem* item = p.decisions.ItemByIndex(3);
        item->setOptsAndActs(item->OptsAndActs() + QStringList{QStringLiteral("!GO Nowhere")});
    };
    const Edit rename = [](Project& p) {
        const CmDecisionItem* item = p.decisions.ItemByIndex(2);
        p.decisions.Rename(item->strID(), item->strID() + QStringLiteral("Moved"));
    };
    const Edit remove = [](Project& p) { QVERIFY(p.decisions.Remove(p.decisions.ItemByIndex(4)->strID())); };
    QTest::newRow("full check, lines edited") << true << goNowhere;
    QTest::newRow("full check, control renamed") << true << rename;
    QTest::newRow("full check, control removed") << true << remove;
    QTest::newRow("paths, lines edited") << false << goNowhere;
    QTest::newRow("paths, control renamed") << false << rename;
    QTest::newRow("paths, control removed") << false << remove;
}

void TestBackgroundCheck::anOvertakenResultIsDropped()
{
    QFETCH(bool, fullCheck);
    QFETCH(Edit, edit);
    Project p;
    LiveValidation live(p.decisions, p.document);
    if (!fullCheck) {
        live.Check();
        // Behind the tree, so that the paths are what the other thread follows.
        CmDecisionItem* item = p.decisions.ItemByIndex(TreeSize / 2);
        item->setOptsAndActs(item->OptsAndActs());
    }
    QVERIFY(fullCheck ? live.Stale() : live.PathsStale());
    const QList<ValidationFindings::Entry> before = live.Findings();
    QSignalSpy outdated(&live, &LiveValidation::pathsOutdated);
    live.StartCheck();
    QVERIFY(live.Checking());
    // The edit comes before the thread's report can, however fast the thread is.
    edit(p);
    const QList<ValidationFindings::Entry> afterEdit = live.Findings();
    outdated.clear();
    QVERIFY(settled(live));
    // Dropped: nothing changed, and another pause is asked for.
    QCOMPARE(outdated.count(), 1);
    QCOMPARE(live.Stale(), fullCheck);
    QVERIFY(live.PathsStale());
    QCOMPARE(live.Findings(), afterEdit);
    if (fullCheck)
        QVERIFY(afterEdit.isEmpty() && before.isEmpty());
    live.StartCheck();
    QVERIFY(settled(live));
    QVERIFY(!live.Stale());
    QVERIFY(!live.PathsStale());
    QCOMPARE(live.Findings(), p.fullCheck());
}

void TestBackgroundCheck::closingWhileChecking_data()
{
    QTest::addColumn<bool>("fullCheck");
    QTest::addColumn<bool>("clearFirst");
    QTest::newRow("full check, window closed") << true << false;
    QTest::newRow("full check, project closed, then the window") << true << true;
    QTest::newRow("paths, window closed") << false << false;
    QTest::newRow("paths, project closed, then the window") << false << true;
}

// The check stops or is dropped; the sanitizer build catches a read of a control or of the
// validation after they went.
void TestBackgroundCheck::closingWhileChecking()
{
    QFETCH(bool, fullCheck);
    QFETCH(bool, clearFirst);
    auto p = std::make_unique<Project>();
    auto live = std::make_unique<LiveValidation>(p->decisions, p->document);
    if (!fullCheck) {
        live->Check();
        CmDecisionItem* item = p->decisions.ItemByIndex(1);
        item->setOptsAndActs(item->OptsAndActs());
    }
    live->StartCheck();
    QVERIFY(live->Checking());
    if (clearFirst) {
        // Every control deleted while the other thread reads its copies.
        p->decisions.Clear();
        QVERIFY(live->Stale());
        QVERIFY(settled(*live));
        QVERIFY(live->Stale());
        QVERIFY(live->Rows().isEmpty());
        QCOMPARE(live->Errors() + live->Warnings(), 0);
        // Another project read in, and checked.
        SyntheticTree::fill(p->decisions, TreeSize);
        live->StartCheck();
        QVERIFY(live->Checking());
    }
    // Gone while (perhaps) still checking; its report must reach nothing.
    live.reset();
    p.reset();
    QTest::qWait(50);
}

KV_REGISTER_TEST(TestBackgroundCheck)
#include "tst_BackgroundCheck.moc"
