#pragma once

class PropertyBag;

// An object that writes itself into a property bag and reads itself back.
class IClassPersistable {
public:
    virtual ~IClassPersistable() = default;
    virtual int IClassPersistable_UCID() const = 0;
    virtual void IClassPersistable_ReadProperties(PropertyBag& bag) = 0;
    virtual void IClassPersistable_WriteProperties(PropertyBag& bag) const = 0;

protected:
    IClassPersistable() = default;
    IClassPersistable(const IClassPersistable&) = default;
    IClassPersistable& operator=(const IClassPersistable&) = default;
};
