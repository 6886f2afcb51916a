#pragma once

#include "edit/CmBFSItem.h"

#include <deque>

// First in, first out list of search records; the records belong to the search.
class CQueue {
public:
    void EnterQueue(CmBFSItem* item) { m_items.push_back(item); }
    // Null when empty.
    CmBFSItem* ExitQueue();
    CmBFSItem* Top() const { return m_items.empty() ? nullptr : m_items.front(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    CmBFSItem* at(int index) const { return m_items.at(static_cast<std::size_t>(index)); }

private:
    std::deque<CmBFSItem*> m_items;
};
