#pragma once

#include "lang/OptionLines.h"
#include "lang/OptionTree.h"

#include <QString>
#include <QStringList>

// The option/action tree of the properties window and the indented text of the advanced
// editor, made from and turned back into an options-and-actions list. Every direction keeps
// the order of the lines. The one-text form of a list is in OptionLines.h.
namespace MTreeViewUtil {

// Clears the tree and builds it from the lines: options under the root, pre-actions under
// the root before them, actions and help under their option, the actions of a branch under
// its !IF, !ELSEIF or !ELSE, each following !ELSEIF, !ELSE and !ENDIF beside its opener.
// Help before the first option and lines without a marker are left out.
void LoadOptionsAndActions(OptionTree& tree, const QStringList& lines);
// Every node's text but the root's, parents before children, children in order.
QStringList SaveOptionsAndActions(const OptionTree& tree);
void SaveChildNodes(const OptionTreeNode& node, QStringList& lines);

// One line per node below the root, each after one TAB per level below the root's
// children, every line ended by CR LF.
QString TreeViewToAdvanced(const OptionTree& tree);
QString GetSubNodes(const OptionTreeNode& node, int depth);
// Reads the advanced text back: each line loses what stands before its marker, lines
// without a marker are dropped, the rest is loaded.
void AdvancedToTreeView(const QString& text, OptionTree& tree);
// The advanced text line by line (at CR LF, or a lone LF or CR), each line from its marker on;
// empty for a line without one.
QStringList AdvancedStatements(const QString& text);

// Add a line after the selected position and select it; the marker is put in front when the
// text lacks it. An option goes after the option group that holds the selection (at the end
// when the selection is in no group). An action or help goes after a selected action or
// help, first into a selected branch opener, last into a selected option; an action with
// the root or nothing selected goes after the last pre-action. Help needs an option: with
// none selected nothing is added and null is returned. The tree is then rebuilt from its
// lines, so what it shows is what the lines mean (an added !IF takes the actions after it).
OptionTreeNode* AddOption(OptionTree& tree, const QString& text);
OptionTreeNode* AddAction(OptionTree& tree, const QString& text);
OptionTreeNode* AddHelp(OptionTree& tree, const QString& text);

// Adds an !IF block where AddAction puts an action: the opener with the text and the !ENDIF
// that closes it, so that the lines after it stay outside. The opener is selected, so that
// what is added next goes into its branch.
OptionTreeNode* AddBlock(OptionTree& tree, const QString& text);
// Adds an !ELSEIF or !ELSE branch to the !IF block that holds the selection (its opener, a
// branch, a line inside a branch or its !ENDIF): an !ELSEIF after the branch that holds the
// selection, but before an !ELSE; an !ELSE last, before the !ENDIF. Null, and nothing added,
// outside a block, for a second !ELSE, or for a text that is neither.
OptionTreeNode* AddBranch(OptionTree& tree, const QString& text);
bool EnableAddBranch(const OptionTree& tree, const QString& text);

// Whether the selected node may be removed: any node but the root and the !ENDIF of a block.
bool EnableRemove(const OptionTree& tree);
// Removes the selected node with its subtree; an !IF takes its whole block with it (branches
// and !ENDIF), an option its group. The line that takes its place is selected (the one before
// when it was the last).
bool RemoveNode(OptionTree& tree);
// Whether the selected node's text may be replaced: any node but the root.
bool EnableEdit(const OptionTree& tree);
// Replaces the selected node's line; a text without a marker keeps the node's marker. The tree
// is loaded again from its lines, since the new text may open or close a block, and the node
// at the same line position is selected.
bool ReplaceNodeText(OptionTree& tree, const QString& text);

// The position of a node among the lines (parents before children, from 0); -1 for the root or
// a node of another tree.
int LineOf(const OptionTree& tree, const OptionTreeNode* node);
// The node at a line position; null outside.
OptionTreeNode* NodeAtLine(const OptionTree& tree, int line);

// Whether the selected node can move one place among its siblings. An !IF block (the !IF,
// its !ELSEIF and !ELSE branches and its !ENDIF) moves as one piece and is passed as one
// piece; the !ELSEIF, !ELSE and !ENDIF of a block do not move alone; a block without its
// !ENDIF neither moves nor is passed, since the lines after it would fall into it. Options
// move among options, pre-actions among pre-actions.
bool EnableUp(const OptionTree& tree);
bool EnableDown(const OptionTree& tree);
// Move the selected node with its subtree (its whole block for an !IF); false when refused.
bool MoveNodeUp(OptionTree& tree);
bool MoveNodeDown(OptionTree& tree);

// Makes "to" a node-for-node copy of "from": texts, keys, expansion and selection.
void CopyTreeView(const OptionTree& from, OptionTree& to);
// Copies the children of node, with their subtrees, to the end of toParent's children.
void CopySubNodes(const OptionTreeNode& node, OptionTree& to, OptionTreeNode& toParent);

// Display state only: every option collapsed, so that the options alone show.
void CollapseOptions(OptionTree& tree);
// Display state only: the root, every option and every branch opener expanded.
void ExpandActions(OptionTree& tree);

OptionTreeNode* GetNode(const OptionTree& tree, const QString& key);
// The texts of the options without their "^", joined by "|".
QString GetOptions(const OptionTree& tree);

} // namespace MTreeViewUtil
