#include "common/TestRegistry.h"

#include "lang/ActionStatement.h"
#include "lang/BlockHighlight.h"
#include "lang/MTreeViewUtil.h"

#include <QTest>

using namespace MTreeViewUtil;

namespace {

const QStringList block{"^A", "!GO X", "!IF [[X]]=1", "!GO P", "!ELSEIF [[X]]=2", "!GO Q", "!ENDIF", "!GO R"};

// The lines after the edit, or empty when it is refused.
using Edit = QStringList (*)(OptionTree&, const QString&);

} // namespace

// The option tree's edits beyond adding lines: blocks and branches, removing, replacing a line,
// and the line positions the editor selects by; the text forms the editor colours and composes.
class TestOptionTreeEditing : public QObject {
    Q_OBJECT

private slots:
    void lineNumbering();
    void addBlocksAndBranches_data();
    void addBlocksAndBranches();
    void removeNodes_data();
    void removeNodes();
    void replaceText_data();
    void replaceText();
    void actionParts_data();
    void actionParts();
    void highlightSpans_data();
    void highlightSpans();
};

void TestOptionTreeEditing::lineNumbering()
{
    OptionTree tree;
    const QStringList lines{"!SET [[A]]=1", "^A", "?help", "!IF [[X]]=1", "!IF [[Y]]=1", "!GO P", "!ENDIF", "!ENDIF",
                            "^B", "!GO Q"};
    LoadOptionsAndActions(tree, lines);
    for (int line = 0; line < lines.size(); ++line) {
        const OptionTreeNode* node = NodeAtLine(tree, line);
        QVERIFY(node);
        QCOMPARE(node->text(), lines.at(line));
        QCOMPARE(LineOf(tree, node), line);
    }
    QVERIFY(!NodeAtLine(tree, static_cast<int>(lines.size())));
    QVERIFY(!NodeAtLine(tree, -1));
    QCOMPARE(LineOf(tree, &tree.root()), -1);
    OptionTree other;
    LoadOptionsAndActions(other, lines);
    QCOMPARE(LineOf(tree, NodeAtLine(other, 2)), -1);
}

void TestOptionTreeEditing::addBlocksAndBranches_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectLine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // empty when refused
    QTest::addColumn<int>("selectedLine");
    QTest::newRow("block keeps what follows outside") << QStringList{"^A", "!GO X", "!GO Y"} << 1 << "IF [[Z]]=1"
                                                      << QStringList{"^A", "!GO X", "!IF [[Z]]=1", "!ENDIF", "!GO Y"} << 2;
    QTest::newRow("block into a branch") << block << 2 << "!IF [[W]]=1"
                                         << QStringList{"^A", "!GO X", "!IF [[X]]=1", "!IF [[W]]=1", "!ENDIF", "!GO P",
                                                        "!ELSEIF [[X]]=2", "!GO Q", "!ENDIF", "!GO R"}
                                         << 3;
    QTest::newRow("else before the end") << block << 3 << "!ELSE"
                                         << QStringList{"^A", "!GO X", "!IF [[X]]=1", "!GO P", "!ELSEIF [[X]]=2", "!GO Q",
                                                        "!ELSE", "!ENDIF", "!GO R"}
                                         << 6;
    QTest::newRow("else-if after the selected branch") << block << 2 << "ELSEIF [[X]]=3"
                                                       << QStringList{"^A", "!GO X", "!IF [[X]]=1", "!GO P",
                                                                      "!ELSEIF [[X]]=3", "!ELSEIF [[X]]=2", "!GO Q",
                                                                      "!ENDIF", "!GO R"}
                                                       << 4;
    const QStringList withElse{"^A", "!IF [[X]]=1", "!GO P", "!ELSE", "!GO Q", "!ENDIF"};
    QTest::newRow("else-if stays before the else") << withElse << 4 << "!ELSEIF [[X]]=2"
                                                   << QStringList{"^A", "!IF [[X]]=1", "!GO P", "!ELSEIF [[X]]=2",
                                                                  "!ELSE", "!GO Q", "!ENDIF"}
                                                   << 3;
    QTest::newRow("else-if from the end") << withElse << 5 << "!ELSEIF [[X]]=2"
                                          << QStringList{"^A", "!IF [[X]]=1", "!GO P", "!ELSEIF [[X]]=2", "!ELSE",
                                                         "!GO Q", "!ENDIF"}
                                          << 3;
    QTest::newRow("one else only") << withElse << 2 << "!ELSE" << QStringList() << 2;
    QTest::newRow("no branch outside a block") << block << 1 << "!ELSE" << QStringList() << 1;
    QTest::newRow("only branches are branches") << block << 2 << "!GO Z" << QStringList() << 2;
}

void TestOptionTreeEditing::addBlocksAndBranches()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selectLine);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(int, selectedLine);
    OptionTree tree;
    LoadOptionsAndActions(tree, lines);
    tree.setSelected(NodeAtLine(tree, selectLine));
    const bool opens = BlockLine::IsKeywordAsWritten(BlockLine::WithMarker(BlockLine::ActionMarker, text), BlockLine::If);
    if (!opens)
        QCOMPARE(EnableAddBranch(tree, text), !expected.isEmpty());
    const OptionTreeNode* added = opens ? AddBlock(tree, text) : AddBranch(tree, text);
    QCOMPARE(SaveOptionsAndActions(tree), expected.isEmpty() ? lines : expected);
    QCOMPARE(added != nullptr, !expected.isEmpty());
    QCOMPARE(LineOf(tree, tree.selected()), selectedLine);
}

void TestOptionTreeEditing::removeNodes_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectLine");
    QTest::addColumn<QStringList>("expected"); // empty when refused
    QTest::addColumn<QString>("selected");
    QTest::newRow("option with its group") << QStringList{"^A", "!GO X", "?a", "^B", "!GO Y"} << 0
                                           << QStringList{"^B", "!GO Y"} << "^B";
    QTest::newRow("IF with its whole block") << block << 2 << QStringList{"^A", "!GO X", "!GO R"} << "!GO R";
    QTest::newRow("a branch with its actions") << block << 4
                                               << QStringList{"^A", "!GO X", "!IF [[X]]=1", "!GO P", "!ENDIF", "!GO R"}
                                               << "!ENDIF";
    QTest::newRow("an ENDIF of a block stays") << block << 6 << QStringList() << "!ENDIF";
    QTest::newRow("a stray ENDIF goes") << QStringList{"^A", "!GO X", "!ENDIF"} << 2 << QStringList{"^A", "!GO X"}
                                        << "!GO X";
    QTest::newRow("last line selects the one before") << QStringList{"^A", "!GO X", "!GO Y"} << 2
                                                      << QStringList{"^A", "!GO X"} << "!GO X";
    QTest::newRow("the last line of all") << QStringList{"^A"} << 0 << QStringList() << QString();
}

void TestOptionTreeEditing::removeNodes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selectLine);
    QFETCH(QStringList, expected);
    QFETCH(QString, selected);
    OptionTree tree;
    LoadOptionsAndActions(tree, lines);
    tree.setSelected(NodeAtLine(tree, selectLine));
    const bool refused = expected.isEmpty() && !selected.isEmpty();
    QCOMPARE(EnableRemove(tree), !refused);
    QCOMPARE(RemoveNode(tree), !refused);
    QCOMPARE(SaveOptionsAndActions(tree), refused ? lines : expected);
    QCOMPARE(tree.selected() ? tree.selected()->text() : QString(), selected);
}

void TestOptionTreeEditing::replaceText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selectLine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("advanced");
    QTest::newRow("option keeps its marker") << QStringList{"^A", "!GO X"} << 0 << "Yes" << "^Yes\r\n\t!GO X\r\n";
    QTest::newRow("an action becomes an opener") << QStringList{"^A", "!GO X", "!GO Y", "!ENDIF"} << 1 << "!IF [[Z]]=1"
                                                 << "^A\r\n\t!IF [[Z]]=1\r\n\t\t!GO Y\r\n\t!ENDIF\r\n";
    QTest::newRow("a help line may become an action") << QStringList{"^A", "?a"} << 1 << "!GO Q"
                                                      << "^A\r\n\t!GO Q\r\n";
}

void TestOptionTreeEditing::replaceText()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selectLine);
    QFETCH(QString, text);
    QFETCH(QString, advanced);
    OptionTree tree;
    LoadOptionsAndActions(tree, lines);
    tree.setSelected(&tree.root());
    QVERIFY(!EnableEdit(tree));
    QVERIFY(!ReplaceNodeText(tree, text));
    tree.setSelected(NodeAtLine(tree, selectLine));
    QVERIFY(ReplaceNodeText(tree, text));
    QCOMPARE(TreeViewToAdvanced(tree), advanced);
    QCOMPARE(LineOf(tree, tree.selected()), selectLine);
}

void TestOptionTreeEditing::actionParts_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("keyword"); // 0: not an action the editor knows
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("composed");
    QTest::newRow("go") << "!go  Next " << int(BlockLine::Go) << "Next" << "" << "!GO Next";
    QTest::newRow("set by reference") << "!SET [[Colour]]=\"Red, dark\"" << int(BlockLine::Set) << "Colour"
                                      << "\"Red, dark\"" << "!SET [[Colour]] = \"Red, dark\"";
    QTest::newRow("default by bare name") << "!DEFAULT Age = 3" << int(BlockLine::Default) << "Age" << "3"
                                          << "!DEFAULT [[Age]] = 3";
    QTest::newRow("kill at the first colon") << "!KILL Cars:<<Cars:Price;Mini>> > 3" << int(BlockLine::Kill) << "Cars"
                                             << "<<Cars:Price;Mini>> > 3" << "!KILL Cars : <<Cars:Price;Mini>> > 3";
    QTest::newRow("sort keeps keys and orders") << "!SORT Cars: Price, Speed; Ascending" << int(BlockLine::Sort) << "Cars"
                                                << "Price, Speed; Ascending" << "!SORT Cars : Price, Speed; Ascending";
    QTest::newRow("if") << "!IF [[A]] > 1" << int(BlockLine::If) << "" << "[[A]] > 1" << "!IF [[A]] > 1";
    QTest::newRow("bare else drops what follows") << "!ELSE x" << int(BlockLine::Else) << "" << "" << "!ELSE";
    QTest::newRow("early finish") << "!EARLYFINISH on" << int(BlockLine::EarlyFinish) << "" << "on" << "!EARLYFINISH on";
    QTest::newRow("missing separator") << "!SET Colour" << int(BlockLine::Set) << "Colour" << "" << "!SET [[Colour]] = ";
    QTest::newRow("unknown keyword") << "!GOTO Next" << 0 << "" << "" << "";
    QTest::newRow("blank after the marker") << "! GO Next" << 0 << "" << "" << "";
    QTest::newRow("an option") << "^GO" << 0 << "" << "" << "";
}

void TestOptionTreeEditing::actionParts()
{
    QFETCH(QString, line);
    QFETCH(int, keyword);
    QFETCH(QString, target);
    QFETCH(QString, value);
    QFETCH(QString, composed);
    const std::optional<ActionStatement::Parts> parts = ActionStatement::Split(line);
    QCOMPARE(parts.has_value(), keyword != 0);
    if (!parts)
        return;
    QCOMPARE(int(parts->keyword), keyword);
    QCOMPARE(parts->target, target);
    QCOMPARE(parts->value, value);
    QCOMPARE(ActionStatement::Compose(*parts), composed);
    // What the editor writes it reads back as written.
    QCOMPARE(ActionStatement::Split(composed)->target, target);
}

void TestOptionTreeEditing::highlightSpans_data()
{
    using R = BlockHighlight::Role;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("roles"); // each span as start:length:role number
    const auto spans = [](std::initializer_list<BlockHighlight::Span> list) {
        QStringList written;
        for (const BlockHighlight::Span& span : list)
            written << QStringLiteral("%1:%2:%3").arg(span.start).arg(span.length).arg(int(span.role));
        return written.join(QLatin1Char(' '));
    };
    QTest::newRow("indented action") << "\t!IF [[Age]] >= 18 & \"a\"\"b\" = <<S:P;I>>"
                                     << spans({{1, 1, R::Marker}, {2, 2, R::Keyword}, {5, 7, R::ControlReference},
                                               {13, 1, R::Operator}, {14, 1, R::Operator}, {16, 2, R::Number},
                                               {19, 1, R::Operator}, {21, 6, R::QuotedText}, {28, 1, R::Operator},
                                               {30, 9, R::SelectorReference}});
    QTest::newRow("note before an option") << "say ^Yes" << spans({{0, 4, R::Ignored}, {4, 1, R::Marker}, {5, 3, R::OptionText}});
    QTest::newRow("no marker") << "  plain words" << spans({{2, 11, R::Ignored}});
    QTest::newRow("unknown keyword, open reference") << "!goto [[Next" << spans({{0, 1, R::Marker}, {1, 4, R::UnknownKeyword},
                                                                                   {6, 6, R::ControlReference}});
    QTest::newRow("help") << "?Pick one" << spans({{0, 1, R::Marker}, {1, 8, R::HelpText}});
    QTest::newRow("digits inside a name") << "!GO Step2" << spans({{0, 1, R::Marker}, {1, 2, R::Keyword}});
}

void TestOptionTreeEditing::highlightSpans()
{
    QFETCH(QString, line);
    QFETCH(QString, roles);
    QStringList written;
    for (const BlockHighlight::Span& span : BlockHighlight::Spans(line))
        written << QStringLiteral("%1:%2:%3").arg(span.start).arg(span.length).arg(int(span.role));
    QCOMPARE(written.join(QLatin1Char(' ')), roles);
}

KV_REGISTER_TEST(TestOptionTreeEditing)
#include "tst_OptionTreeEditing.moc"
