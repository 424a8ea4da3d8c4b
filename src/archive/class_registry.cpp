#include "archive/class_registry.h"

#include <map>
#include <mutex>
#include <string>

namespace kelcmd {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, const CRuntimeClass*, std::less<>> byName;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

bool RegisterClass(const CRuntimeClass* runtimeClass) {
    if (runtimeClass == nullptr || runtimeClass->className == nullptr) return false;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto [it, inserted] = registry.byName.emplace(runtimeClass->className, runtimeClass);
    return inserted || it->second == runtimeClass;
}

const CRuntimeClass* FindClass(std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto it = registry.byName.find(name);
    return it == registry.byName.end() ? nullptr : it->second;
}

}  // namespace kelcmd
