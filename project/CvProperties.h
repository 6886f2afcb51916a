#pragma once

#include "persist/IClassPersistable.h"

// The properties window's place in the persisted tree. It keeps nothing in the project.
class CvProperties : public IClassPersistable {
public:
    static constexpr int ClassId = 12;

    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag&) override {}
    void IClassPersistable_WriteProperties(PropertyBag&) const override {}
};
