#include "edit/CQueue.h"

CmBFSItem* CQueue::ExitQueue()
{
    if (m_items.empty())
        return nullptr;
    CmBFSItem* first = m_items.front();
    m_items.pop_front();
    return first;
}
