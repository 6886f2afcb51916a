#pragma once

#include "edit/CQueue.h"
#include "edit/CmBFSItem.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class CmDecisionManager;

// Gives every control a level for the automatic layout: the controls displayed with a control
// share its level, the controls it goes to lie one level deeper. The walk starts at the first
// control added.
class CmBreadthFirstSearch {
public:
    explicit CmBreadthFirstSearch(const CmDecisionManager& decisions);

    void add(const QString& key);
    void Clear();
    void Search();
    // By key (any letter case) or by position from 1; null when there is none.
    CmBFSItem* Item(const QString& key) const;
    CmBFSItem* Item(int index) const;
    int Count() const { return static_cast<int>(m_items.size()); }
    qint16 MaxDepth() const { return m_maxDepth; }
    // Controls given the level; level 0 counts the controls displayed with the first one.
    qint16 ItemsAtDepth(int level) const;

private:
    struct Frame;

    // Walks with a stack of its own: a chain of thousands of controls is as deep as it is long.
    void Visit(CmBFSItem* start);
    CQueue FindChildren(const QString& key) const;
    void PlaceAllChildren(const CQueue& children);
    CQueue FindSiblings(const QString& key) const;
    void PlaceAllSiblings(const CQueue& siblings);
    void place(const CQueue& queue);
    void raiseLevel();
    CmBFSItem* itemNamed(const QString& name) const;

    const CmDecisionManager& m_decisions;
    std::vector<std::unique_ptr<CmBFSItem>> m_items;
    QHash<QString, CmBFSItem*> m_byKey;
    qint16 m_level = 0;
    qint16 m_maxDepth = 0;
    std::vector<qint16> m_itemsAtDepth;
};
