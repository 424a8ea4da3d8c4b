#include "sim/bus_registry.h"

#include <map>
#include <mutex>

#include "sim/sim_spec.h"

namespace kelcmd::sim {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<SimBus>> buses;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

std::shared_ptr<SimBus> BusForSpec(const std::string& text) {
    const auto spec = ParseSimSpec(text);
    if (!spec) return nullptr;
    std::shared_ptr<SimBus> bus;
    bool created = false;
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        auto& slot = registry.buses[spec->busName];
        if (!slot) {
            slot = std::make_shared<SimBus>(spec->busName);
            created = true;
        }
        bus = slot;
    }
    for (uint8_t address : spec->addresses) bus->AddUnit(address);
    if (created && spec->addresses.empty()) bus->AddUnit(1);
    if (spec->speed) bus->Clock().SetSpeed(*spec->speed);
    if (spec->paced) bus->SetPaced(true);
    return bus;
}

std::shared_ptr<SimBus> FindBus(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.buses.find(name);
    return found == registry.buses.end() ? nullptr : found->second;
}

void RemoveBus(const std::string& name) {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.buses.erase(name);
}

void RemoveAllBuses() {
    auto& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.buses.clear();
}

}  // namespace kelcmd::sim
