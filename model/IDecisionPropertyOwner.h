#pragma once

#include <QString>

class CmDecisionItem;

// A part of the program that owns one of a decision's named properties: the tree editing owns
// the ID and the name (a change there must reach every reference and the diagram), the diagram
// owns the entity's top, left and size. Whoever reads or writes those properties is handed the
// owners (PropertyOwners); nothing registers anywhere.
class IDecisionPropertyOwner {
public:
    virtual ~IDecisionPropertyOwner() = default;

    // The value as text (a size as its number); empty when the owner has none for the decision.
    virtual QString OwnedProperty(const CmDecisionItem& decision, int labelId) const = 0;
    // Applies the value with the owner's own checks; false leaves everything unchanged.
    virtual bool SetOwnedProperty(CmDecisionItem& decision, int labelId, const QString& value) = 0;

protected:
    IDecisionPropertyOwner() = default;
    IDecisionPropertyOwner(const IDecisionPropertyOwner&) = default;
    IDecisionPropertyOwner& operator=(const IDecisionPropertyOwner&) = default;
};

// The owners a property sheet or an editor dispatches to; null members own nothing.
struct PropertyOwners {
    // The ID and the name.
    IDecisionPropertyOwner* tree = nullptr;
    // The top, the left and the size.
    IDecisionPropertyOwner* diagram = nullptr;
};
