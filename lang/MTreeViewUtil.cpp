#include "lang/MTreeViewUtil.h"

#include "lang/BlockLine.h"
#include "base/ProcedureBoundary.h"

#include <QRegularExpression>

#include <functional>
#include <optional>
#include <vector>

namespace {

using NodeList = std::vector<OptionTreeNode*>;

// The tree builder compares keywords as written in capitals; the validator is the one that
// forgives letter case.
bool isBranchContinuation(const QString& line)
{
    return BlockLine::IsKeywordAsWritten(line, BlockLine::ElseIf)
           || BlockLine::IsKeywordAsWritten(line, BlockLine::Else);
}

bool isBlockEnd(const QString& line)
{
    return BlockLine::IsKeywordAsWritten(line, BlockLine::EndIf);
}

bool opensBlock(const OptionTreeNode& node)
{
    return BlockLine::IsKeywordAsWritten(node.text(), BlockLine::If);
}

// Reads the lines in order, keeping the current option, the last action placed and from
// those the branch that is running.
class TreeBuilder {
public:
    explicit TreeBuilder(OptionTree& tree) : m_tree(tree) {}

    void add(const QString& line)
    {
        switch (BlockLine::KindOf(line)) {
        case BlockLine::Kind::Option:
            m_option = &m_tree.appendNode(m_tree.root(), line);
            m_last = nullptr;
            break;
        case BlockLine::Kind::Action:
            if (isBranchContinuation(line) || isBlockEnd(line))
                addBesideOpener(line);
            else
                addInBranch(line);
            break;
        case BlockLine::Kind::Help:
            // Placed where an action would be, so that help inside a branch keeps its place.
            if (m_option)
                addInBranch(line);
            break;
        case BlockLine::Kind::Ignored:
            break;
        }
    }

private:
    OptionTreeNode& level() const { return m_option ? *m_option : m_tree.root(); }

    OptionTreeNode* runningOpener() const
    {
        if (!m_last || m_last->isBranchOpener())
            return m_last;
        OptionTreeNode* parent = m_last->parent();
        return parent && parent->isBranchOpener() ? parent : nullptr;
    }

    // While building, every node named here is the last child of its parent, so "next
    // sibling" is an append.
    void addBesideOpener(const QString& line)
    {
        const OptionTreeNode* anchor = runningOpener();
        if (!anchor)
            anchor = m_last;
        m_last = &m_tree.appendNode(anchor ? *anchor->parent() : level(), line);
    }

    void addInBranch(const QString& line)
    {
        OptionTreeNode* parent = &level();
        if (m_last)
            parent = m_last->isBranchOpener() ? m_last : m_last->parent();
        m_last = &m_tree.appendNode(*parent, line);
    }

    OptionTree& m_tree;
    OptionTreeNode* m_option = nullptr;
    OptionTreeNode* m_last = nullptr;
};

void forEachBelow(OptionTreeNode& node, const std::function<void(OptionTreeNode&)>& visit)
{
    for (int i = 0; i < node.childCount(); ++i) {
        OptionTreeNode& child = *node.child(i);
        visit(child);
        forEachBelow(child, visit);
    }
}

// The nodes below the root in line order.
NodeList lineOrder(OptionTree& tree)
{
    NodeList nodes;
    nodes.reserve(static_cast<std::size_t>(tree.nodeCount()));
    forEachBelow(tree.root(), [&nodes](OptionTreeNode& node) { nodes.push_back(&node); });
    return nodes;
}

void appendSubNodes(const OptionTreeNode& node, int depth, QString& text)
{
    for (int i = 0; i < node.childCount(); ++i) {
        const OptionTreeNode& child = *node.child(i);
        text += QString(depth, QLatin1Char('\t'));
        text += child.text();
        text += QLatin1String("\r\n");
        appendSubNodes(child, depth + 1, text);
    }
}

OptionTreeNode* optionGroupOf(OptionTreeNode* node)
{
    while (node && node->kind() != OptionTreeNode::Kind::Option)
        node = node->parent();
    return node;
}

int firstOptionIndex(const OptionTreeNode& root)
{
    int index = 0;
    while (index < root.childCount() && root.child(index)->kind() != OptionTreeNode::Kind::Option)
        ++index;
    return index;
}

// The tree is loaded again from its own lines, so that a new line that opens or closes a
// block shows the structure it makes. Nodes keep their line positions, so expansion is kept
// by position and the new line is found again.
OptionTreeNode* rebuildAround(OptionTree& tree, OptionTreeNode& added)
{
    const NodeList before = lineOrder(tree);
    std::vector<bool> expanded;
    std::size_t position = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        expanded.push_back(before[i]->expanded());
        if (before[i] == &added)
            position = i;
    }
    MTreeViewUtil::LoadOptionsAndActions(tree, MTreeViewUtil::SaveOptionsAndActions(tree));
    const NodeList after = lineOrder(tree);
    if (after.size() != before.size())
        return nullptr;
    for (std::size_t i = 0; i < after.size(); ++i)
        after[i]->setExpanded(expanded[i]);
    OptionTreeNode* node = after[position];
    for (OptionTreeNode* parent = node->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree.setSelected(node);
    return node;
}

struct Place {
    OptionTreeNode* parent;
    int index;
};

// Where an action or help line goes for the current selection.
Place placeInGroup(OptionTree& tree)
{
    OptionTreeNode* selected = tree.selected();
    if (!selected || selected->kind() == OptionTreeNode::Kind::Root)
        return {&tree.root(), firstOptionIndex(tree.root())};
    if (selected->kind() == OptionTreeNode::Kind::Option)
        return {selected, selected->childCount()};
    if (selected->isBranchOpener())
        return {selected, 0};
    return {selected->parent(), selected->indexInParent() + 1};
}

OptionTreeNode* addAt(OptionTree& tree, const Place& place, const QString& line)
{
    return rebuildAround(tree, tree.insertNode(*place.parent, place.index, line));
}

// A run of siblings that moves as one: a single node, or an !IF with its branches and the
// !ENDIF that closes it.
struct Piece {
    int first = 0;
    int count = 1;
    bool closed = true;
    bool option = false;
};

std::vector<Piece> piecesOf(const OptionTreeNode& parent)
{
    std::vector<Piece> pieces;
    const int count = parent.childCount();
    for (int i = 0; i < count;) {
        const OptionTreeNode& node = *parent.child(i);
        Piece piece{i, 1, true, node.kind() == OptionTreeNode::Kind::Option};
        if (opensBlock(node)) {
            int end = i + 1;
            while (end < count && isBranchContinuation(parent.child(end)->text()))
                ++end;
            piece.closed = end < count && isBlockEnd(parent.child(end)->text());
            piece.count = end - i + (piece.closed ? 1 : 0);
        }
        pieces.push_back(piece);
        i += piece.count;
    }
    return pieces;
}

bool canTrade(const Piece& a, const Piece& b)
{
    return a.closed && b.closed && a.option == b.option;
}

// The earlier of two neighbouring pieces moves behind the later one.
struct Trade {
    OptionTreeNode* parent;
    Piece earlier;
    Piece later;
};

std::optional<Trade> tradeWith(const OptionTree& tree, int direction)
{
    OptionTreeNode* selected = tree.selected();
    if (!selected || !selected->parent())
        return std::nullopt;
    OptionTreeNode* parent = selected->parent();
    const std::vector<Piece> pieces = piecesOf(*parent);
    const int index = selected->indexInParent();
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (pieces[k].first != index)
            continue;
        const std::size_t other = direction < 0 ? k - 1 : k + 1;
        if ((direction < 0 && k == 0) || other >= pieces.size() || !canTrade(pieces[k], pieces[other]))
            return std::nullopt;
        return direction < 0 ? Trade{parent, pieces[other], pieces[k]} : Trade{parent, pieces[k], pieces[other]};
    }
    return std::nullopt;
}

bool trade(OptionTree& tree, int direction)
{
    const std::optional<Trade> move = tradeWith(tree, direction);
    if (!move)
        return false;
    tree.moveChildrenUp(*move->parent, move->later.first, move->later.count, move->earlier.first);
    return true;
}

void copyChildren(const OptionTreeNode& from, OptionTree& to, OptionTreeNode& toParent)
{
    const int count = from.childCount();
    for (int i = 0; i < count; ++i) {
        const OptionTreeNode& child = *from.child(i);
        OptionTreeNode& copy = to.insertNode(toParent, toParent.childCount(), child.text(), child.key());
        copy.setExpanded(child.expanded());
        copyChildren(child, to, copy);
    }
}

} // namespace

void MTreeViewUtil::LoadOptionsAndActions(OptionTree& tree, const QStringList& lines)
{
    ProcedureBoundary::run("MTreeViewUtil.LoadOptionsAndActions", [&] {
        tree.clear();
        TreeBuilder builder(tree);
        for (const QString& line : lines)
            builder.add(line);
        tree.root().setExpanded(true);
    });
}

QStringList MTreeViewUtil::SaveOptionsAndActions(const OptionTree& tree)
{
    return ProcedureBoundary::runOr("MTreeViewUtil.SaveOptionsAndActions", QStringList(), [&] {
        QStringList lines;
        lines.reserve(tree.nodeCount());
        SaveChildNodes(tree.root(), lines);
        return lines;
    });
}

void MTreeViewUtil::SaveChildNodes(const OptionTreeNode& node, QStringList& lines)
{
    for (int i = 0; i < node.childCount(); ++i) {
        const OptionTreeNode& child = *node.child(i);
        lines.append(child.text());
        SaveChildNodes(child, lines);
    }
}

QString MTreeViewUtil::TreeViewToAdvanced(const OptionTree& tree)
{
    return ProcedureBoundary::runOr("MTreeViewUtil.TreeViewToAdvanced", QString(),
                                    [&] { return GetSubNodes(tree.root(), 0); });
}

QString MTreeViewUtil::GetSubNodes(const OptionTreeNode& node, int depth)
{
    QString text;
    appendSubNodes(node, depth, text);
    return text;
}

void MTreeViewUtil::AdvancedToTreeView(const QString& text, OptionTree& tree)
{
    ProcedureBoundary::run("MTreeViewUtil.AdvancedToTreeView", [&] {
        // CR LF is what the editor gives; a lone LF or CR ends a line too.
        static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
        static const QRegularExpression marker(QStringLiteral("[\\^!?]"));
        QStringList lines;
        for (const QString& piece : text.split(lineEnd)) {
            const qsizetype start = piece.indexOf(marker);
            if (start >= 0)
                lines.append(piece.mid(start));
        }
        LoadOptionsAndActions(tree, lines);
    });
}

OptionTreeNode* MTreeViewUtil::AddOption(OptionTree& tree, const QString& text)
{
    const OptionTreeNode* group = optionGroupOf(tree.selected());
    const int index = group ? group->indexInParent() + 1 : tree.root().childCount();
    return addAt(tree, {&tree.root(), index}, BlockLine::WithMarker(BlockLine::OptionMarker, text));
}

OptionTreeNode* MTreeViewUtil::AddAction(OptionTree& tree, const QString& text)
{
    return addAt(tree, placeInGroup(tree), BlockLine::WithMarker(BlockLine::ActionMarker, text));
}

OptionTreeNode* MTreeViewUtil::AddHelp(OptionTree& tree, const QString& text)
{
    if (!optionGroupOf(tree.selected()))
        return nullptr;
    return addAt(tree, placeInGroup(tree), BlockLine::WithMarker(BlockLine::HelpMarker, text));
}

bool MTreeViewUtil::EnableUp(const OptionTree& tree)
{
    return tradeWith(tree, -1).has_value();
}

bool MTreeViewUtil::EnableDown(const OptionTree& tree)
{
    return tradeWith(tree, 1).has_value();
}

bool MTreeViewUtil::MoveNodeUp(OptionTree& tree)
{
    return trade(tree, -1);
}

bool MTreeViewUtil::MoveNodeDown(OptionTree& tree)
{
    return trade(tree, 1);
}

void MTreeViewUtil::CopyTreeView(const OptionTree& from, OptionTree& to)
{
    if (&from == &to)
        return;
    to.clear();
    to.root().setExpanded(from.root().expanded());
    copyChildren(from.root(), to, to.root());
    to.setSelected(from.selected() ? to.node(from.selected()->key()) : nullptr);
}

void MTreeViewUtil::CopySubNodes(const OptionTreeNode& node, OptionTree& to, OptionTreeNode& toParent)
{
    copyChildren(node, to, toParent);
}

void MTreeViewUtil::CollapseOptions(OptionTree& tree)
{
    for (int i = 0; i < tree.root().childCount(); ++i) {
        OptionTreeNode& child = *tree.root().child(i);
        if (child.kind() == OptionTreeNode::Kind::Option)
            child.setExpanded(false);
    }
}

void MTreeViewUtil::ExpandActions(OptionTree& tree)
{
    tree.root().setExpanded(true);
    forEachBelow(tree.root(), [](OptionTreeNode& node) {
        if (node.kind() == OptionTreeNode::Kind::Option || node.isBranchOpener())
            node.setExpanded(true);
    });
}

OptionTreeNode* MTreeViewUtil::GetNode(const OptionTree& tree, const QString& key)
{
    return tree.node(key);
}

QString MTreeViewUtil::GetOptions(const OptionTree& tree)
{
    QStringList options;
    for (int i = 0; i < tree.root().childCount(); ++i) {
        const OptionTreeNode& child = *tree.root().child(i);
        if (child.kind() == OptionTreeNode::Kind::Option)
            options.append(BlockLine::Body(child.text()));
    }
    return options.join(QLatin1Char('|'));
}
