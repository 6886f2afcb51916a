#include "edit/CmBreadthFirstSearch.h"

#include "base/KvError.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/LinkTargets.h"

#include <QVariant>

#include <limits>

namespace {

constexpr std::size_t InitialDepths = 10;
constexpr int errOverflow = 6;

} // namespace

// One control being searched from: its siblings first, then its children.
struct CmBreadthFirstSearch::Frame {
    CmBFSItem* item = nullptr;
    CQueue siblings;
    CQueue children;
    int next = 0;
    bool inChildren = false;
};

CmBreadthFirstSearch::CmBreadthFirstSearch(const CmDecisionManager& decisions)
    : m_decisions(decisions), m_itemsAtDepth(InitialDepths + 1, 0)
{
}

void CmBreadthFirstSearch::add(const QString& key)
{
    auto item = std::make_unique<CmBFSItem>();
    item->key = key;
    m_byKey.insert(key.toUpper(), item.get());
    m_items.push_back(std::move(item));
}

void CmBreadthFirstSearch::Clear()
{
    m_items.clear();
    m_byKey.clear();
    m_level = 0;
    m_maxDepth = 0;
    m_itemsAtDepth.assign(InitialDepths + 1, 0);
}

void CmBreadthFirstSearch::Search()
{
    if (m_items.empty())
        return;
    CmBFSItem* first = m_items.front().get();
    first->found = true;
    first->visited = true;
    Visit(first);
}

CmBFSItem* CmBreadthFirstSearch::Item(const QString& key) const
{
    return m_byKey.value(key.toUpper(), nullptr);
}

CmBFSItem* CmBreadthFirstSearch::Item(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_items.at(static_cast<std::size_t>(index - 1)).get();
}

qint16 CmBreadthFirstSearch::ItemsAtDepth(int level) const
{
    if (level < 0 || static_cast<std::size_t>(level) >= m_itemsAtDepth.size())
        return 0;
    return m_itemsAtDepth.at(static_cast<std::size_t>(level));
}

void CmBreadthFirstSearch::Visit(CmBFSItem* start)
{
    std::vector<Frame> stack;
    const auto enter = [&](CmBFSItem* item) {
        item->visited = true;
        Frame frame;
        frame.item = item;
        frame.siblings = FindSiblings(item->key);
        PlaceAllSiblings(frame.siblings);
        stack.push_back(std::move(frame));
    };
    enter(start);
    while (!stack.empty()) {
        Frame& top = stack.back();
        const CQueue& queue = top.inChildren ? top.children : top.siblings;
        CmBFSItem* next = nullptr;
        while (!next && top.next < queue.Count()) {
            CmBFSItem* candidate = queue.at(top.next++);
            if (!candidate->visited)
                next = candidate;
        }
        if (next) {
            enter(next);
            continue;
        }
        if (!top.inChildren) {
            raiseLevel();
            top.children = FindChildren(top.item->key);
            PlaceAllChildren(top.children);
            top.inChildren = true;
            top.next = 0;
            continue;
        }
        stack.pop_back();
        // Back from a child: the parent's child level again. Back from a sibling: no step back.
        if (!stack.empty() && stack.back().inChildren)
            --m_level;
    }
}

void CmBreadthFirstSearch::raiseLevel()
{
    if (m_level == std::numeric_limits<qint16>::max())
        throw KvError(errOverflow, QStringLiteral("CmBreadthFirstSearch.Visit"), QStringLiteral("Overflow"));
    ++m_level;
    if (m_level > m_maxDepth) {
        m_maxDepth = m_level;
        if (static_cast<std::size_t>(m_maxDepth) >= m_itemsAtDepth.size())
            m_itemsAtDepth.resize(static_cast<std::size_t>(m_maxDepth) + InitialDepths + 1, 0);
    }
}

CmBFSItem* CmBreadthFirstSearch::itemNamed(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    if (CmBFSItem* item = Item(name))
        return item;
    // A target may be given by number or as another spelling of the key.
    return Item(m_decisions.GetKey(QVariant(name)));
}

CQueue CmBreadthFirstSearch::FindChildren(const QString& key) const
{
    CQueue children;
    const CmDecisionItem* decision = m_decisions.Item(QVariant(key));
    if (!decision)
        return children;
    for (const QString& target : MDecisionDataUtil::GetLinkTargets(*decision, m_decisions)) {
        if (CmBFSItem* child = itemNamed(target))
            children.EnterQueue(child);
    }
    return children;
}

CQueue CmBreadthFirstSearch::FindSiblings(const QString& key) const
{
    CQueue siblings;
    const CmDecisionItem* decision = m_decisions.Item(QVariant(key));
    if (!decision)
        return siblings;
    for (const QString& name : decision->Group()) {
        if (CmBFSItem* sibling = itemNamed(name.trimmed()))
            siblings.EnterQueue(sibling);
    }
    return siblings;
}

void CmBreadthFirstSearch::PlaceAllChildren(const CQueue& children)
{
    place(children);
}

void CmBreadthFirstSearch::PlaceAllSiblings(const CQueue& siblings)
{
    place(siblings);
}

void CmBreadthFirstSearch::place(const CQueue& queue)
{
    for (int i = 0; i < queue.Count(); ++i) {
        CmBFSItem* item = queue.at(i);
        if (item->found)
            continue;
        item->found = true;
        item->level = m_level;
        qint16& count = m_itemsAtDepth.at(static_cast<std::size_t>(m_level));
        if (count == std::numeric_limits<qint16>::max())
            throw KvError(errOverflow, QStringLiteral("CmBreadthFirstSearch.place"), QStringLiteral("Overflow"));
        ++count;
    }
}
