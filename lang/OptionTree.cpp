#include "lang/OptionTree.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"

#include <algorithm>

namespace {

constexpr int rootCaptionId = 11004;

OptionTreeNode::Kind kindOfLine(const QString& text)
{
    switch (BlockLine::KindOf(text)) {
    case BlockLine::Kind::Option:
        return OptionTreeNode::Kind::Option;
    case BlockLine::Kind::Help:
        return OptionTreeNode::Kind::Help;
    case BlockLine::Kind::Action:
    case BlockLine::Kind::Ignored:
        break;
    }
    return OptionTreeNode::Kind::Action;
}

} // namespace

const QString OptionTree::RootKey = QStringLiteral("root");

OptionTree::OptionTree()
{
    clear();
}

OptionTree::~OptionTree() = default;

void OptionTree::clear()
{
    m_selected = nullptr;
    m_nodes.clear();
    m_nextKey = 1;
    m_root.reset(new OptionTreeNode(RootKey, OptionTreeNode::Kind::Root, LoadResString(rootCaptionId), nullptr));
    m_nodes.insert(RootKey, m_root.get());
}

OptionTreeNode& OptionTree::insertNode(OptionTreeNode& parent, int index, const QString& text,
                                       const QString& preferredKey)
{
    const QString key = freeKey(preferredKey);
    std::unique_ptr<OptionTreeNode> node(new OptionTreeNode(key, kindOfLine(text), text, &parent));
    OptionTreeNode& added = *node;
    const int position = std::clamp(index, 0, parent.childCount());
    parent.m_children.insert(parent.m_children.begin() + position, std::move(node));
    m_nodes.insert(key, &added);
    return added;
}

OptionTreeNode& OptionTree::appendNode(OptionTreeNode& parent, const QString& text)
{
    return insertNode(parent, parent.childCount(), text);
}

void OptionTree::moveChildrenUp(OptionTreeNode& parent, int from, int count, int to)
{
    auto& children = parent.m_children;
    if (to < 0 || to >= from || count <= 0 || from + count > parent.childCount())
        return;
    std::rotate(children.begin() + to, children.begin() + from, children.begin() + from + count);
}

QString OptionTree::freeKey(const QString& preferred)
{
    if (!preferred.isEmpty() && !m_nodes.contains(preferred))
        return preferred;
    QString key;
    do
        key = QLatin1Char('n') + QString::number(m_nextKey++);
    while (m_nodes.contains(key));
    return key;
}
