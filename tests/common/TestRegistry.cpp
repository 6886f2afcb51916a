#include "common/TestRegistry.h"

namespace {
std::vector<std::pair<const char*, TestRegistry::Factory>>& entries()
{
    static std::vector<std::pair<const char*, TestRegistry::Factory>> list;
    return list;
}
} // namespace

bool TestRegistry::add(const char* name, Factory factory)
{
    entries().emplace_back(name, std::move(factory));
    return true;
}

const std::vector<std::pair<const char*, TestRegistry::Factory>>& TestRegistry::all()
{
    return entries();
}
