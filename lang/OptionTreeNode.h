#pragma once

#include <QString>

#include <memory>
#include <vector>

class OptionTree;

// One node of an option/action tree: the root, an option, an action or a popup help line.
// Nodes belong to their OptionTree, which creates, moves and destroys them.
class OptionTreeNode {
public:
    enum class Kind { Root, Option, Action, Help };

    OptionTreeNode(const OptionTreeNode&) = delete;
    OptionTreeNode& operator=(const OptionTreeNode&) = delete;
    ~OptionTreeNode();

    // Unique within its tree; the root's is "root".
    const QString& key() const { return m_key; }
    Kind kind() const { return m_kind; }
    // The line as written, marker included; the root's caption.
    const QString& text() const { return m_text; }
    // "option", "action" or "help"; empty for the root.
    QString imageKey() const;

    bool expanded() const { return m_expanded; }
    void setExpanded(bool expanded) { m_expanded = expanded; }

    OptionTreeNode* parent() const { return m_parent; }
    int childCount() const { return static_cast<int>(m_children.size()); }
    // Counted from 0; null outside.
    OptionTreeNode* child(int index) const;
    // Position among the parent's children; 0 for the root.
    int indexInParent() const;

    // An !IF, !ELSEIF or !ELSE node, which holds the actions of its branch. The test is on the
    // text as written in capitals, as the tree builder reads it.
    bool isBranchOpener() const;

private:
    friend class OptionTree;
    OptionTreeNode(QString key, Kind kind, QString text, OptionTreeNode* parent);

    QString m_key;
    Kind m_kind;
    QString m_text;
    bool m_expanded = false;
    OptionTreeNode* m_parent;
    std::vector<std::unique_ptr<OptionTreeNode>> m_children;
};
