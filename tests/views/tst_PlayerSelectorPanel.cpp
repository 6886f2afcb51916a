#include "common/TestRegistry.h"
#include "tests/views/StoredRecord.h"

#include "base/ResourceStrings.h"
#include "runtime/CompiledTree.h"
#include "views/PlayerWindow.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace {

constexpr int BackId = 32572;
constexpr int NextId = 32573;
constexpr int StartOverId = 32579;
const QString ShowLabel = QStringLiteral("Show them");

const auto record = StoredRecord;

// Removals by a typed number and a check box, a sort by either answer, a command button and the
// list of what is left.
CompiledTree laptopsTree()
{
    CompiledTree tree;
    tree.rulesText =
        "BEGIN\r\n"
        + record({"1", "", "Budget", "", "", "\"\"", "NumBox", "&1500", "!KILL Laptops: Price > [[Budget]]", "^300-3000",
                  "!GO Use"})
        + "\r\n"
        + record({"2", "", "Use", "", "", "\"\"", "Radio", "^Games", "!KILL Laptops: GPU = \"None\"",
                  "!SORT Laptops: Weight; True", "!GO Carry", "^Office", "!SORT Laptops: Price; False", "!GO Carry"})
        + "\r\n"
        + record({"3", "", "Carry", "", "", "\"\"", "Check", "^True", "!KILL Laptops: Weight > 2", "!GO Show", "^False",
                  "!GO Show"})
        + "\r\n" + record({"4", "", "Show", "", "", "\"\"", "Command", "$" + ShowLabel, "^True", "!GO Results"}) + "\r\n"
        + record({"5", "", "Results", "", "", "\"\"", "dList", "^Laptops", "!GO End"}) + "\r\n"
        + record({"6", "", "End", "", "", "\"\"", "Done"}) + "\r\n";
    CompiledTree::Table laptops{"Laptops", {}};
    CsvTable::parse("Name,Price,Weight,GPU\nTitan 17,2400,2.9,Big\nSwift 14,1100,1.3,None\n"
                    "Budget 15,600,1.9,None\nAero 13,900,1.1,Small\n",
                    laptops.rows);
    tree.tables.append(laptops);
    return tree;
}

QPushButton* button(const PlayerWindow& window, const QString& text)
{
    for (QPushButton* candidate : window.findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

void click(const PlayerWindow& window, int textId)
{
    if (QPushButton* found = button(window, LoadResString(textId)); found && found->isEnabled())
        found->click();
}

// What is wrong with the panel against the engine: each item once, the remaining ones first in
// the engine's order and without a reason, the removed ones with theirs.
QString panelFault(PlayerWindow& window)
{
    const auto* items = window.findChild<QTreeWidget*>(QStringLiteral("selectorItems"));
    QStringList names;
    QStringList remaining;
    for (int i = 0; i < items->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = items->topLevelItem(i);
        names.append(row->text(0));
        if (row->text(1).isEmpty()) {
            if (remaining.size() != i)
                return QStringLiteral("an item without a reason among the removed: ") + row->text(0);
            remaining.append(row->text(0));
        }
    }
    QStringList once = names;
    once.removeDuplicates();
    if (names.size() != 4 || once.size() != names.size())
        return QStringLiteral("not each item once: ") + names.join(QStringLiteral(", "));
    const QStringList engine = window.engine().values().selectorItems.value(0).second;
    if (remaining != engine)
        return QStringLiteral("shows %1 where the run keeps %2")
            .arg(remaining.join(QStringLiteral(", ")), engine.join(QStringLiteral(", ")));
    return QString();
}

} // namespace

class TestPlayerSelectorPanel : public QObject {
    Q_OBJECT

    static std::unique_ptr<PlayerWindow> started()
    {
        QString problem;
        std::unique_ptr<PlayerWindow> window = PlayerWindow::create(laptopsTree(), QStringLiteral("laptops"), problem);
        if (window) {
            window->show();
            window->start();
        }
        return window;
    }

private slots:
    // Two clicks on a command button before the first is answered: the second belongs to the
    // page it was made on, so the list page it opens stays.
    void aSecondPushDoesNotAnswerTheNextPage()
    {
        std::unique_ptr<PlayerWindow> window = started();
        QVERIFY(window);
        click(*window, NextId);
        window->findChildren<QRadioButton*>().first()->setChecked(true);
        click(*window, NextId);
        click(*window, NextId);
        QCOMPARE(window->engine().page(), QList<int>{4});
        QPushButton* show = button(*window, ShowLabel);
        QVERIFY(show);
        show->click();
        show->click();
        QTRY_COMPARE(window->engine().page(), QList<int>{5});
        QTest::qWait(20);
        QCOMPARE(window->engine().page(), QList<int>{5});
        QCOMPARE(panelFault(*window), QString());
    }

    // Answers, Next, Back, Start Over and double pushes in a fixed random order: after each,
    // the panel shows what the run keeps and why the rest went.
    void panelFollowsEveryStep()
    {
        std::unique_ptr<PlayerWindow> window = started();
        QVERIFY(window);
        QRandomGenerator random(7);
        for (int step = 0; step < 600; ++step) {
            const quint32 move = random.bounded(10);
            if (move < 5) {
                for (QRadioButton* choice : window->findChildren<QRadioButton*>())
                    if (random.bounded(2))
                        choice->setChecked(true);
                for (QSpinBox* number : window->findChildren<QSpinBox*>())
                    number->setValue(300 + int(random.bounded(2700)));
                for (QCheckBox* check : window->findChildren<QCheckBox*>())
                    check->setChecked(random.bounded(2));
                if (QPushButton* show = button(*window, ShowLabel); show && random.bounded(2)) {
                    show->click();
                    if (random.bounded(2))
                        show->click();
                }
                click(*window, NextId);
            } else if (move < 8) {
                click(*window, BackId);
            } else if (move < 9) {
                click(*window, StartOverId);
            } else {
                QCoreApplication::processEvents();
            }
            const QString fault = panelFault(*window);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
        }
    }
};

KV_REGISTER_TEST(TestPlayerSelectorPanel)
#include "tst_PlayerSelectorPanel.moc"
