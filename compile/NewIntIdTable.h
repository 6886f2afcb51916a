#pragma once

#include <QList>
#include <QString>

class CmDecisionItem;
class CmDecisionManager;

// The compiled numbers of a tree: the decisions numbered 1, 2, 3, ... in decision order, found
// by their own number (intID) or by the compiled one. The table by intID grows by ten entries
// past an intID it cannot hold yet, so building it stays linear in the number of decisions.
class NewIntIdTable {
public:
    // The FinishLink pseudo decision of older projects is no control and gets no number.
    void build(const CmDecisionManager& decisions);

    // 0 for an intID that no decision has.
    qint16 NewIntID(qint16 intID) const;
    // The decision compiled as number; null when none is.
    CmDecisionItem* byNumber(int number) const;
    // Decisions numbered, in decision order.
    const QList<CmDecisionItem*>& decisions() const { return m_decisions; }
    int count() const { return static_cast<int>(m_decisions.size()); }
    // Whether some decision's compiled number differs from its intID.
    bool renumbers() const { return m_renumbers; }
    // Entries the table by intID holds.
    int size() const { return static_cast<int>(m_table.size()); }

    static bool isFinishLink(const CmDecisionItem& decision);

private:
    QList<qint16> m_table;
    QList<CmDecisionItem*> m_decisions;
    bool m_renumbers = false;
};
