#include "edit/TreePropertyOwner.h"

#include "edit/CcDecisionTree.h"
#include "model/CmDecisionItem.h"
#include "model/DecisionProperties.h"

using namespace MDecisionDataUtil;

TreePropertyOwner::TreePropertyOwner(CcDecisionTree& tree) : m_tree(tree)
{
}

TreePropertyOwner::~TreePropertyOwner() = default;

QString TreePropertyOwner::OwnedProperty(const CmDecisionItem& decision, int labelId) const
{
    switch (labelId) {
    case IdLabel: return QString::number(decision.intID());
    case ControlNameLabel: return decision.strID();
    default: return QString();
    }
}

bool TreePropertyOwner::SetOwnedProperty(CmDecisionItem& decision, int labelId, const QString& value)
{
    if (labelId != ControlNameLabel)
        return false;
    const QString name = value.trimmed();
    // The same name again is no change, not a refusal.
    if (name == decision.strID())
        return true;
    return m_tree.Rename(decision.strID(), name, decision.intID());
}
