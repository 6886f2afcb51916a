#pragma once

#include "persist/IClassPersistable.h"

#include <memory>

// What a class lookup hands back: a live singleton (object only) or a new item that the
// caller now owns (object and owned point at the same thing).
struct ClassInstance {
    IClassPersistable* object = nullptr;
    std::unique_ptr<IClassPersistable> owned;

    explicit operator bool() const { return object != nullptr; }

    static ClassInstance live(IClassPersistable* singleton) { return ClassInstance{singleton, nullptr}; }
    static ClassInstance created(std::unique_ptr<IClassPersistable> item)
    {
        IClassPersistable* raw = item.get();
        return ClassInstance{raw, std::move(item)};
    }
};

// Finds the object for a persisted class id while a property bag is read.
class IClassLookup {
public:
    virtual ~IClassLookup() = default;
    virtual ClassInstance IClassLookup_CreateClass(int classId) = 0;

protected:
    IClassLookup() = default;
    IClassLookup(const IClassLookup&) = default;
    IClassLookup& operator=(const IClassLookup&) = default;
};
