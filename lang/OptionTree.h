#pragma once

#include "lang/OptionTreeNode.h"

#include <QHash>
#include <QString>

#include <memory>

// The options and actions of one decision as a tree, the way the properties window shows
// them: options under the root, their actions and help under them, the actions of a branch
// under its !IF, !ELSEIF or !ELSE. A tree always has its root; nodes are found by key in
// constant time. The tree knows nothing of the rules of the block: MTreeViewUtil builds and
// edits it.
class OptionTree {
public:
    static const QString RootKey;

    OptionTree();
    OptionTree(const OptionTree&) = delete;
    OptionTree& operator=(const OptionTree&) = delete;
    ~OptionTree();

    OptionTreeNode& root() { return *m_root; }
    const OptionTreeNode& root() const { return *m_root; }

    // Removes every node but the root and the selection; the root is left collapsed.
    void clear();

    // A new node for the line at index among the parent's children (clamped); its kind
    // follows the marker. The preferred key is used when no node holds it yet.
    OptionTreeNode& insertNode(OptionTreeNode& parent, int index, const QString& text,
                               const QString& preferredKey = QString());
    OptionTreeNode& appendNode(OptionTreeNode& parent, const QString& text);
    // Moves the children [from, from + count) of the parent, subtrees included, to stand
    // before the child at index to (to < from).
    void moveChildrenUp(OptionTreeNode& parent, int from, int count, int to);

    // Null when no node has the key.
    OptionTreeNode* node(const QString& key) const { return m_nodes.value(key); }
    int nodeCount() const { return static_cast<int>(m_nodes.size()); }

    OptionTreeNode* selected() const { return m_selected; }
    // A node of this tree or null.
    void setSelected(OptionTreeNode* node) { m_selected = node; }

private:
    QString freeKey(const QString& preferred);

    std::unique_ptr<OptionTreeNode> m_root;
    QHash<QString, OptionTreeNode*> m_nodes;
    OptionTreeNode* m_selected = nullptr;
    int m_nextKey = 1;
};
