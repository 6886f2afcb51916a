#include "common/TestRegistry.h"

#include "lang/MTreeViewUtil.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace MTreeViewUtil;

namespace {

// The node of the tree at a line's position, or null for -1.
OptionTreeNode* nodeAtLine(OptionTree& tree, int line)
{
    if (line < 0)
        return nullptr;
    int seen = -1;
    OptionTreeNode* found = nullptr;
    std::function<void(OptionTreeNode&)> walk = [&](OptionTreeNode& node) {
        for (int i = 0; i < node.childCount() && !found; ++i) {
            if (++seen == line)
                found = node.child(i);
            else
                walk(*node.child(i));
        }
    };
    walk(tree.root());
    return found;
}

void loadAndSelect(OptionTree& tree, const QStringList& lines, int selectLine)
{
    LoadOptionsAndActions(tree, lines);
    tree.setSelected(nodeAtLine(tree, selectLine));
}

const QStringList nestedBlocks{"^A", "!IF [[X]]=1", "!IF [[Y]]=2", "!GO P", "!ELSE", "!GO Q", "!ENDIF",
                               "!ELSEIF [[X]]=3", "!GO R", "!ENDIF", "!GO S"};
const QString nestedAdvanced = QStringLiteral("^A\r\n\t!IF [[X]]=1\r\n\t\t!IF [[Y]]=2\r\n\t\t\t!GO P\r\n\t\t!ELSE\r\n"
                                              "\t\t\t!GO Q\r\n\t\t!ENDIF\r\n\t!ELSEIF [[X]]=3\r\n\t\t!GO R\r\n"
                                              "\t!ENDIF\r\n\t!GO S\r\n");
const QStringList blockThenAction{"^A", "!IF [[X]]=1", "!GO P", "!ELSE", "!GO Q", "!ENDIF", "!GO R"};
const QString actionThenBlock = QStringLiteral("^A\r\n\t!GO R\r\n\t!IF [[X]]=1\r\n\t\t!GO P\r\n\t!ELSE\r\n\t\t!GO Q\r\n"
                                               "\t!ENDIF\r\n");

} // namespace

class TestOptionTree : public QObject {
    Q_OBJECT

private slots:
    void conversionsKeepOrder_data();
    void conversionsKeepOrder();
    void anyLinesKeepTheirOrder();
    void advancedTextLines_data();
    void advancedTextLines();
    void addNodes_data();
    void addNodes();
    void moveNodes_data();
    void moveNodes();
    void copyAndLookups();
};

void TestOptionTree::conversionsKeepOrder_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("advanced");
    QTest::newRow("empty") << QStringList() << QStringList() << QString();
    const QStringList groups{"^Yes", "?Say yes", "!GO Next", "^No", "!GO Stop"};
    QTest::newRow("groups with help") << groups << groups
                                      << "^Yes\r\n\t?Say yes\r\n\t!GO Next\r\n^No\r\n\t!GO Stop\r\n";
    const QStringList pre{"!SET [[A]]=1", "!SORT Cars: Price, Speed; Ascending, Descending", "^Yes", "!GO Next"};
    QTest::newRow("pre-actions") << pre << pre
                                 << "!SET [[A]]=1\r\n!SORT Cars: Price, Speed; Ascending, Descending\r\n^Yes\r\n"
                                    "\t!GO Next\r\n";
    QTest::newRow("nested blocks") << nestedBlocks << nestedBlocks << nestedAdvanced;
    const QStringList helpInBranch{"^A", "!IF [[X]]=1", "?inside", "!GO P", "!ENDIF", "?after"};
    QTest::newRow("help inside a branch") << helpInBranch << helpInBranch
                                          << "^A\r\n\t!IF [[X]]=1\r\n\t\t?inside\r\n\t\t!GO P\r\n\t!ENDIF\r\n\t?after\r\n";
    const QStringList preBlock{"!IF [[X]]=1", "!SET [[Y]]=2", "!ENDIF", "^A"};
    QTest::newRow("block among pre-actions") << preBlock << preBlock
                                             << "!IF [[X]]=1\r\n\t!SET [[Y]]=2\r\n!ENDIF\r\n^A\r\n";
    QTest::newRow("lines outside the block dropped")
        << QStringList{"?orphan", "note", "", "!GO First", "^A", "plain", "!GO B"}
        << QStringList{"!GO First", "^A", "!GO B"} << "!GO First\r\n^A\r\n\t!GO B\r\n";
    // The builder reads block keywords as written in capitals.
    const QStringList lower{"^A", "!if [[X]]=1", "!GO P", "!endif"};
    QTest::newRow("lower-case keywords open nothing") << lower << lower
                                                      << "^A\r\n\t!if [[X]]=1\r\n\t!GO P\r\n\t!endif\r\n";
    // Every reader takes the keyword up to the first blank: "! ENDIF" and "!IF(...)" are none.
    const QStringList noKeywords{"^A", "!IF [[X]]=1", "!GO P", "! ENDIF", "!IF([[Y]]=1)", "!GO Q"};
    QTest::newRow("no keyword, no block") << noKeywords << noKeywords
                                          << "^A\r\n\t!IF [[X]]=1\r\n\t\t!GO P\r\n\t\t! ENDIF\r\n"
                                             "\t\t!IF([[Y]]=1)\r\n\t\t!GO Q\r\n";
    const QStringList unclosed{"^A", "!IF [[X]]=1", "!GO P", "^B", "!GO Q"};
    QTest::newRow("next option ends an open block") << unclosed << unclosed
                                                    << "^A\r\n\t!IF [[X]]=1\r\n\t\t!GO P\r\n^B\r\n\t!GO Q\r\n";
}

void TestOptionTree::conversionsKeepOrder()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, kept);
    QFETCH(QString, advanced);
    OptionTree tree;
    LoadOptionsAndActions(tree, lines);
    QCOMPARE(SaveOptionsAndActions(tree), kept);
    QCOMPARE(TreeViewToAdvanced(tree), advanced);

    OptionTree fromText;
    AdvancedToTreeView(advanced, fromText);
    QCOMPARE(SaveOptionsAndActions(fromText), kept);
    QCOMPARE(TreeViewToAdvanced(fromText), advanced);
    QCOMPARE(OptsAndActsToCol(OptsAndActsToString(kept)), kept);
}

void TestOptionTree::anyLinesKeepTheirOrder()
{
    // Blocks as an author half way through typing leaves them: stray, unclosed and doubled
    // branch lines among options, help and notes.
    const QStringList vocabulary{"^A", "^B", "?help", "!IF [[X]]=1", "!ELSEIF [[X]]=2", "!ELSE", "!ENDIF",
                                 "!GO P", "!if [[Y]]=1", "!ELSE extra", "note"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 400; ++round) {
        QStringList lines;
        QStringList kept;
        bool optionSeen = false;
        const int count = random.bounded(1, 14);
        for (int i = 0; i < count; ++i) {
            const QString& line = vocabulary.at(random.bounded(int(vocabulary.size())));
            lines.append(line);
            optionSeen = optionSeen || line.startsWith(QLatin1Char('^'));
            if (line.startsWith(QLatin1Char('^')) || line.startsWith(QLatin1Char('!'))
                || (line.startsWith(QLatin1Char('?')) && optionSeen))
                kept.append(line);
        }
        OptionTree tree;
        LoadOptionsAndActions(tree, lines);
        QVERIFY2(SaveOptionsAndActions(tree) == kept, qPrintable(lines.join(QLatin1Char('|'))));
        OptionTree fromText;
        AdvancedToTreeView(TreeViewToAdvanced(tree), fromText);
        QVERIFY2(SaveOptionsAndActions(fromText) == kept, qPrintable(lines.join(QLatin1Char('|'))));
    }
}

void TestOptionTree::advancedTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("indentation and notes") << "^A\r\n\t\t!GO Next\r\n  !GO Next\r\nnote: see below\r\n"
                                           << QStringList{"^A", "!GO Next", "!GO Next"};
    QTest::newRow("text before the marker") << "say ^Yes\r\n" << QStringList{"^Yes"};
    QTest::newRow("line feeds alone") << "^A\n\t!GO B\n" << QStringList{"^A", "!GO B"};
}

void TestOptionTree::advancedTextLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    OptionTree tree;
    AdvancedToTreeView(text, tree);
    QCOMPARE(SaveOptionsAndActions(tree), lines);
}

void TestOptionTree::addNodes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectLine");
    QTest::addColumn<char>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("advanced");
    const QStringList ab{"^A", "!GO X", "^B"};
    QTest::newRow("option after the selected group") << ab << 1 << '^' << "C" << "^A\r\n\t!GO X\r\n^C\r\n^B\r\n";
    QTest::newRow("option last without selection") << ab << -1 << '^' << "^C" << "^A\r\n\t!GO X\r\n^B\r\n^C\r\n";
    QTest::newRow("action after an action") << ab << 1 << '!' << "GO Y" << "^A\r\n\t!GO X\r\n\t!GO Y\r\n^B\r\n";
    QTest::newRow("action last into an option") << ab << 0 << '!' << "!GO Y" << "^A\r\n\t!GO X\r\n\t!GO Y\r\n^B\r\n";
    QTest::newRow("help last into an option") << ab << 0 << '?' << "Pick A" << "^A\r\n\t!GO X\r\n\t?Pick A\r\n^B\r\n";
    QTest::newRow("action without selection is a pre-action")
        << QStringList{"!SET [[A]]=1", "^A"} << -1 << '!' << "GO Y" << "!SET [[A]]=1\r\n!GO Y\r\n^A\r\n";
    QTest::newRow("action first into a branch") << QStringList{"^A", "!IF [[X]]=1", "!GO P", "!ENDIF"} << 1 << '!'
                                                << "GO Q" << "^A\r\n\t!IF [[X]]=1\r\n\t\t!GO Q\r\n\t\t!GO P\r\n\t!ENDIF\r\n";
    QTest::newRow("an added IF takes what follows") << QStringList{"^A", "!GO X", "!GO Y"} << 1 << '!' << "IF [[Z]]=1"
                                                    << "^A\r\n\t!GO X\r\n\t!IF [[Z]]=1\r\n\t\t!GO Y\r\n";
    QTest::newRow("help needs an option") << QStringList{"!SET [[A]]=1", "^A"} << 0 << '?' << "lost"
                                          << "!SET [[A]]=1\r\n^A\r\n";
}

void TestOptionTree::addNodes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selectLine);
    QFETCH(char, kind);
    QFETCH(QString, text);
    QFETCH(QString, advanced);
    OptionTree tree;
    loadAndSelect(tree, lines, selectLine);
    // Expecting the text unchanged means expecting the addition refused.
    const bool refused = TreeViewToAdvanced(tree) == advanced;
    OptionTreeNode* added = kind == '^' ? AddOption(tree, text) : kind == '!' ? AddAction(tree, text) : AddHelp(tree, text);
    QCOMPARE(TreeViewToAdvanced(tree), advanced);
    if (refused) {
        QVERIFY(!added);
        return;
    }
    QVERIFY(added);
    QCOMPARE(tree.selected(), added);
    QCOMPARE(added->text(), text.startsWith(QLatin1Char(kind)) ? text : QLatin1Char(kind) + text);
    QCOMPARE(GetNode(tree, added->key()), added);
}

void TestOptionTree::moveNodes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectLine");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("advanced"); // empty when the move is refused
    QTest::newRow("option carries its group") << QStringList{"^A", "!GO X", "^B", "?b", "!GO Y"} << 2 << true
                                              << "^B\r\n\t?b\r\n\t!GO Y\r\n^A\r\n\t!GO X\r\n";
    QTest::newRow("action passes a whole block") << blockThenAction << 6 << true << actionThenBlock;
    QTest::newRow("block moves whole") << blockThenAction << 1 << false << actionThenBlock;
    QTest::newRow("pre-action moves down") << QStringList{"!SET [[A]]=1", "!SET [[B]]=2", "^A"} << 0 << false
                                           << "!SET [[B]]=2\r\n!SET [[A]]=1\r\n^A\r\n";
    QTest::newRow("option cannot pass a pre-action") << QStringList{"!SET [[A]]=1", "^A"} << 1 << true << QString();
    QTest::newRow("pre-action cannot pass an option") << QStringList{"!SET [[A]]=1", "^A"} << 0 << false << QString();
    QTest::newRow("ELSE does not move alone") << blockThenAction << 3 << true << QString();
    QTest::newRow("ENDIF does not move alone") << blockThenAction << 5 << false << QString();
    QTest::newRow("first in its branch") << blockThenAction << 2 << true << QString();
    QTest::newRow("open block is not passed") << QStringList{"^A", "!GO R", "!IF [[X]]=1", "!GO P"} << 1 << false
                                              << QString();
    QTest::newRow("nothing selected") << QStringList{"^A", "^B"} << -1 << true << QString();
}

void TestOptionTree::moveNodes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selectLine);
    QFETCH(bool, up);
    QFETCH(QString, advanced);
    OptionTree tree;
    loadAndSelect(tree, lines, selectLine);
    const QString before = TreeViewToAdvanced(tree);
    const OptionTreeNode* selected = tree.selected();
    const bool possible = !advanced.isEmpty();
    QCOMPARE(up ? EnableUp(tree) : EnableDown(tree), possible);
    QCOMPARE(up ? MoveNodeUp(tree) : MoveNodeDown(tree), possible);
    QCOMPARE(TreeViewToAdvanced(tree), possible ? advanced : before);
    QCOMPARE(tree.selected(), selected);
    // The moved tree is what its lines build.
    OptionTree reloaded;
    LoadOptionsAndActions(reloaded, SaveOptionsAndActions(tree));
    QCOMPARE(TreeViewToAdvanced(reloaded), TreeViewToAdvanced(tree));
}

void TestOptionTree::copyAndLookups()
{
    OptionTree tree;
    LoadOptionsAndActions(tree, {"!SET [[A]]=1", "^Yes", "?help", "!IF [[B]]=1", "!GO X", "!ENDIF", "^No"});
    QCOMPARE(GetOptions(tree), QStringLiteral("Yes|No"));
    QCOMPARE(GetNode(tree, OptionTree::RootKey), &tree.root());
    QCOMPARE(tree.root().text(), QStringLiteral("Options and Actions"));
    QVERIFY(tree.root().expanded());
    const OptionTreeNode* yes = tree.root().child(1);
    QCOMPARE(yes->imageKey(), QStringLiteral("option"));
    QCOMPARE(yes->child(0)->imageKey(), QStringLiteral("help"));
    QCOMPARE(tree.root().child(0)->imageKey(), QStringLiteral("action"));

    ExpandActions(tree);
    QVERIFY(yes->expanded() && yes->child(1)->expanded());
    CollapseOptions(tree);
    QVERIFY(!yes->expanded() && yes->child(1)->expanded());

    tree.setSelected(yes->child(1)->child(0));
    OptionTree copy;
    AddOption(copy, QStringLiteral("stale"));
    CopyTreeView(tree, copy);
    QCOMPARE(SaveOptionsAndActions(copy), SaveOptionsAndActions(tree));
    QVERIFY(copy.selected());
    QCOMPARE(copy.selected()->key(), tree.selected()->key());
    QCOMPARE(copy.selected()->text(), QStringLiteral("!GO X"));
    QCOMPARE(GetNode(copy, yes->key())->expanded(), false);

    OptionTree branch;
    CopySubNodes(*yes, branch, branch.root());
    QCOMPARE(SaveOptionsAndActions(branch), (QStringList{"?help", "!IF [[B]]=1", "!GO X", "!ENDIF"}));
}

KV_REGISTER_TEST(TestOptionTree)
#include "tst_OptionTree.moc"
