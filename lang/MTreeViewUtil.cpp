#include "lang/MTreeViewUtil.h"

#include "lang/BlockLine.h"
#include "base/ProcedureBoundary.h"

#include <QRegularExpression>

#include <algorithm>

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

// The lines a node stands for: its own and those of every node below it.
int subtreeSize(const OptionTreeNode& node)
{
    int size = 1;
    for (int i = 0; i < node.childCount(); ++i)
        size += subtreeSize(*node.child(i));
    return size;
}

// The siblings [first, first + count) of the parent, with their subtrees, in lines.
int piecePositions(const OptionTreeNode& parent, const Piece& piece)
{
    int size = 0;
    for (int i = piece.first; i < piece.first + piece.count; ++i)
        size += subtreeSize(*parent.child(i));
    return size;
}

const Piece* pieceHolding(const std::vector<Piece>& pieces, int index)
{
    for (const Piece& piece : pieces) {
        if (index >= piece.first && index < piece.first + piece.count)
            return &piece;
    }
    return nullptr;
}

std::vector<bool> expansionOf(OptionTree& tree)
{
    std::vector<bool> expanded;
    for (const OptionTreeNode* node : lineOrder(tree))
        expanded.push_back(node->expanded());
    return expanded;
}

// Loads the edited lines; expansion is given per line, as the lines now stand. The node at
// the line position is selected, or the last one when the lines end before it.
void reloadLines(OptionTree& tree, const QStringList& lines, const std::vector<bool>& expanded, int selectLine)
{
    MTreeViewUtil::LoadOptionsAndActions(tree, lines);
    const NodeList after = lineOrder(tree);
    if (after.size() == expanded.size()) {
        for (std::size_t i = 0; i < after.size(); ++i)
            after[i]->setExpanded(expanded[i]);
    }
    if (after.empty())
        return;
    OptionTreeNode* node = after[static_cast<std::size_t>(std::clamp(selectLine, 0, static_cast<int>(after.size()) - 1))];
    for (OptionTreeNode* parent = node->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree.setSelected(node);
}

// The !IF block that holds the selection and the index of the branch (or !ENDIF) that holds it.
struct BlockAround {
    OptionTreeNode* parent;
    Piece piece;
    int anchor;
};

std::optional<BlockAround> blockAround(const OptionTree& tree)
{
    OptionTreeNode* node = tree.selected();
    if (!node || !node->parent())
        return std::nullopt;
    if (!node->isBranchOpener() && !isBlockEnd(node->text()))
        node = node->parent();
    if (!node || !node->parent() || (!node->isBranchOpener() && !isBlockEnd(node->text())))
        return std::nullopt;
    OptionTreeNode* parent = node->parent();
    const std::vector<Piece> pieces = piecesOf(*parent);
    const int index = node->indexInParent();
    const Piece* piece = pieceHolding(pieces, index);
    if (!piece || !opensBlock(*parent->child(piece->first)))
        return std::nullopt;
    return BlockAround{parent, *piece, index};
}

std::optional<Place> branchPlace(const OptionTree& tree, const QString& line)
{
    const bool isElse = BlockLine::IsKeywordAsWritten(line, BlockLine::Else);
    if (!isElse && !BlockLine::IsKeywordAsWritten(line, BlockLine::ElseIf))
        return std::nullopt;
    const std::optional<BlockAround> block = blockAround(tree);
    if (!block)
        return std::nullopt;
    const Piece& piece = block->piece;
    const int end = piece.first + piece.count - (piece.closed ? 1 : 0);
    std::optional<int> elseIndex;
    for (int i = piece.first + 1; i < end; ++i) {
        if (BlockLine::IsKeywordAsWritten(block->parent->child(i)->text(), BlockLine::Else))
            elseIndex = i;
    }
    if (isElse)
        return elseIndex ? std::nullopt : std::optional<Place>(Place{block->parent, end});
    int index = block->anchor >= end ? end : block->anchor + 1;
    if (elseIndex && index > *elseIndex)
        index = *elseIndex;
    return Place{block->parent, index};
}

bool closesBlock(const OptionTreeNode& node)
{
    if (!node.parent() || !isBlockEnd(node.text()))
        return false;
    const std::vector<Piece> pieces = piecesOf(*node.parent());
    const Piece* piece = pieceHolding(pieces, node.indexInParent());
    return piece && piece->first != node.indexInParent();
}

QChar markerOf(const OptionTreeNode& node)
{
    switch (node.kind()) {
    case OptionTreeNode::Kind::Option: return BlockLine::OptionMarker;
    case OptionTreeNode::Kind::Help: return BlockLine::HelpMarker;
    default: return BlockLine::ActionMarker;
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
        QStringList lines = AdvancedStatements(text);
        lines.removeAll(QString());
        LoadOptionsAndActions(tree, lines);
    });
}

QStringList MTreeViewUtil::AdvancedStatements(const QString& text)
{
    // CR LF is what the editor gives; a lone LF or CR ends a line too.
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    static const QRegularExpression marker(QStringLiteral("[\\^!?]"));
    QStringList lines;
    for (const QString& piece : text.split(lineEnd)) {
        const qsizetype start = piece.indexOf(marker);
        lines.append(start >= 0 ? piece.mid(start) : QString());
    }
    return lines;
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

OptionTreeNode* MTreeViewUtil::AddBlock(OptionTree& tree, const QString& text)
{
    const Place place = placeInGroup(tree);
    OptionTreeNode& opener = tree.insertNode(*place.parent, place.index, BlockLine::WithMarker(BlockLine::ActionMarker, text));
    tree.insertNode(*place.parent, place.index + 1, BlockLine::MarkedKeyword(BlockLine::EndIf));
    return rebuildAround(tree, opener);
}

OptionTreeNode* MTreeViewUtil::AddBranch(OptionTree& tree, const QString& text)
{
    const QString line = BlockLine::WithMarker(BlockLine::ActionMarker, text);
    const std::optional<Place> place = branchPlace(tree, line);
    return place ? addAt(tree, *place, line) : nullptr;
}

bool MTreeViewUtil::EnableAddBranch(const OptionTree& tree, const QString& text)
{
    return branchPlace(tree, BlockLine::WithMarker(BlockLine::ActionMarker, text)).has_value();
}

bool MTreeViewUtil::EnableRemove(const OptionTree& tree)
{
    const OptionTreeNode* selected = tree.selected();
    return selected && selected->parent() && !closesBlock(*selected);
}

bool MTreeViewUtil::RemoveNode(OptionTree& tree)
{
    if (!EnableRemove(tree))
        return false;
    OptionTreeNode& selected = *tree.selected();
    const int first = LineOf(tree, &selected);
    int count = subtreeSize(selected);
    if (opensBlock(selected)) {
        const std::vector<Piece> pieces = piecesOf(*selected.parent());
        if (const Piece* piece = pieceHolding(pieces, selected.indexInParent()))
            count = piecePositions(*selected.parent(), *piece);
    }
    QStringList lines = SaveOptionsAndActions(tree);
    std::vector<bool> expanded = expansionOf(tree);
    lines.remove(first, count);
    expanded.erase(expanded.begin() + first, expanded.begin() + first + count);
    if (lines.isEmpty()) {
        LoadOptionsAndActions(tree, lines);
        return true;
    }
    reloadLines(tree, lines, expanded, first);
    return true;
}

bool MTreeViewUtil::EnableEdit(const OptionTree& tree)
{
    return tree.selected() && tree.selected()->parent();
}

bool MTreeViewUtil::ReplaceNodeText(OptionTree& tree, const QString& text)
{
    if (!EnableEdit(tree))
        return false;
    const OptionTreeNode& selected = *tree.selected();
    const int line = LineOf(tree, &selected);
    const bool marked = BlockLine::KindOf(text) != BlockLine::Kind::Ignored;
    QStringList lines = SaveOptionsAndActions(tree);
    lines[line] = marked ? text : markerOf(selected) + text;
    reloadLines(tree, lines, expansionOf(tree), line);
    return true;
}

int MTreeViewUtil::LineOf(const OptionTree& tree, const OptionTreeNode* node)
{
    if (!node || !node->parent())
        return -1;
    int line = 0;
    const OptionTreeNode* at = node;
    for (; at->parent(); at = at->parent()) {
        const OptionTreeNode& parent = *at->parent();
        const int index = at->indexInParent();
        for (int i = 0; i < index; ++i)
            line += subtreeSize(*parent.child(i));
        if (parent.parent())
            ++line;
    }
    return at == &tree.root() ? line : -1;
}

OptionTreeNode* MTreeViewUtil::NodeAtLine(const OptionTree& tree, int line)
{
    if (line < 0)
        return nullptr;
    const OptionTreeNode* parent = &tree.root();
    int rest = line;
    while (true) {
        bool descended = false;
        for (int i = 0; i < parent->childCount(); ++i) {
            OptionTreeNode* child = parent->child(i);
            if (rest == 0)
                return child;
            const int size = subtreeSize(*child);
            if (rest < size) {
                --rest;
                parent = child;
                descended = true;
                break;
            }
            rest -= size;
        }
        if (!descended)
            return nullptr;
    }
}
