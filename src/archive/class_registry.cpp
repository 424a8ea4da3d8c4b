#include "archive/class_registry.h"

#include <map>
#include <mutex>
#include <string>

#include "command/command.h"
#include "command/command_tree.h"
#include "command/kel_batch_command.h"
#include "command/kel_command.h"
#include "command/kel_customer_command.h"
#include "command/kel_standard_command.h"

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

bool AddLocked(Registry& registry, const CRuntimeClass* runtimeClass) {
    if (runtimeClass == nullptr || runtimeClass->className == nullptr) return false;
    auto [it, inserted] = registry.byName.emplace(runtimeClass->className, runtimeClass);
    return inserted || it->second == runtimeClass;
}

// Every class of the library that archives may name. New serialisable classes are added here.
void RegisterCoreClasses(Registry& registry) {
    const CRuntimeClass* coreClasses[] = {
        CCommand::StaticClass(),
        CKelCommand::StaticClass(),
        CKelStandardCommand::StaticClass(),
        CKelCustomerCommand::StaticClass(),
        CKelBatchCommand::StaticClass(),
        CCommandTreeItem::StaticClass(),
        CCommandTree::StaticClass(),
        CCommandTreeLeaf::StaticClass(),
    };
    for (const CRuntimeClass* runtimeClass : coreClasses) AddLocked(registry, runtimeClass);
}

Registry& ReadyRegistry() {
    static std::once_flag once;
    Registry& registry = TheRegistry();
    std::call_once(once, [&registry] {
        std::lock_guard guard(registry.lock);
        RegisterCoreClasses(registry);
    });
    return registry;
}

}  // namespace

bool RegisterClass(const CRuntimeClass* runtimeClass) {
    Registry& registry = ReadyRegistry();
    std::lock_guard guard(registry.lock);
    return AddLocked(registry, runtimeClass);
}

const CRuntimeClass* FindClass(std::string_view name) {
    Registry& registry = ReadyRegistry();
    std::lock_guard guard(registry.lock);
    auto it = registry.byName.find(name);
    return it == registry.byName.end() ? nullptr : it->second;
}

}  // namespace kelcmd
