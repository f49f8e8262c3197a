#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <string>

// Test classes of this executable register themselves here; main() runs them in name order.
namespace TestRegistry {

using Factory = std::function<QObject*()>;

inline std::map<std::string, Factory>& all() {
    static std::map<std::string, Factory> tests;
    return tests;
}

template <typename T> struct Add {
    explicit Add(const char* name) {
        all().emplace(name, [] { return new T; });
    }
};

} // namespace TestRegistry

#define ZP_REGISTER_TEST(Class) static const TestRegistry::Add<Class> zpRegistered##Class(#Class);
