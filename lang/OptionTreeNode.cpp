#include "lang/OptionTreeNode.h"

#include "lang/BlockLine.h"

#include <algorithm>

OptionTreeNode::OptionTreeNode(QString key, Kind kind, QString text, OptionTreeNode* parent)
    : m_key(std::move(key)), m_kind(kind), m_text(std::move(text)), m_parent(parent)
{
}

OptionTreeNode::~OptionTreeNode() = default;

QString OptionTreeNode::imageKey() const
{
    switch (m_kind) {
    case Kind::Option:
        return QStringLiteral("option");
    case Kind::Action:
        return QStringLiteral("action");
    case Kind::Help:
        return QStringLiteral("help");
    case Kind::Root:
        break;
    }
    return QString();
}

OptionTreeNode* OptionTreeNode::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return m_children[static_cast<std::size_t>(index)].get();
}

int OptionTreeNode::indexInParent() const
{
    if (!m_parent)
        return 0;
    const auto& siblings = m_parent->m_children;
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [this](const std::unique_ptr<OptionTreeNode>& node) { return node.get() == this; });
    return static_cast<int>(found - siblings.begin());
}

bool OptionTreeNode::isBranchOpener() const
{
    return m_kind == Kind::Action
           && (BlockLine::IsKeywordAsWritten(m_text, BlockLine::If)
               || BlockLine::IsKeywordAsWritten(m_text, BlockLine::ElseIf)
               || BlockLine::IsKeywordAsWritten(m_text, BlockLine::Else));
}
