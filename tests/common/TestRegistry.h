#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Test classes of one executable register here; the shared main runs them all.
class TestRegistry {
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;

    static bool add(const char* name, Factory factory);
    static const std::vector<std::pair<const char*, Factory>>& all();
};

#define KV_REGISTER_TEST(TestClass)                                                                     \
    namespace {                                                                                         \
    [[maybe_unused]] const bool registered##TestClass =                                                 \
        TestRegistry::add(#TestClass, [] { return std::make_unique<TestClass>(); });                  \
    }
