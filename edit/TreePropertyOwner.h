#pragma once

#include "model/IDecisionPropertyOwner.h"

class CcDecisionTree;

// The tree editing's hold on a control's ID and name: a new name goes through the tree's
// rename, with its refusals, so that every reference and the diagram follow. The ID is shown
// but never written from outside: references and the diagram's keys hang on it. Registers
// itself for the two labels while it lives.
class TreePropertyOwner final : public IDecisionPropertyOwner {
public:
    explicit TreePropertyOwner(CcDecisionTree& tree);
    ~TreePropertyOwner() override;
    TreePropertyOwner(const TreePropertyOwner&) = delete;
    TreePropertyOwner& operator=(const TreePropertyOwner&) = delete;

    QString OwnedProperty(const CmDecisionItem& decision, int labelId) const override;
    bool SetOwnedProperty(CmDecisionItem& decision, int labelId, const QString& value) override;

private:
    CcDecisionTree& m_tree;
};
