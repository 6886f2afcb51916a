#include "compile/NewIntIdTable.h"

#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

namespace {
constexpr int Growth = 10;
}

void NewIntIdTable::build(const CmDecisionManager& decisions)
{
    m_table.clear();
    m_decisions.clear();
    m_renumbers = false;
    for (int index = 1; index <= decisions.Count(); ++index) {
        CmDecisionItem* decision = decisions.ItemByIndex(index);
        if (!decision || isFinishLink(*decision) || decision->intID() <= 0)
            continue;
        m_decisions.append(decision);
        const qint16 number = static_cast<qint16>(m_decisions.size());
        const int id = decision->intID();
        if (id >= m_table.size())
            m_table.resize(id + Growth);
        m_table[id] = number;
        m_renumbers = m_renumbers || number != id;
    }
}

qint16 NewIntIdTable::NewIntID(qint16 intID) const
{
    return intID > 0 && intID < m_table.size() ? m_table.at(intID) : 0;
}

CmDecisionItem* NewIntIdTable::byNumber(int number) const
{
    return number >= 1 && number <= m_decisions.size() ? m_decisions.at(number - 1) : nullptr;
}

bool NewIntIdTable::isFinishLink(const CmDecisionItem& decision)
{
    return decision.strID().compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0;
}
