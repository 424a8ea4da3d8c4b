#include "sim/bus_registry.h"

#include <map>
#include <mutex>

#include "sim/sim_options.h"

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

std::shared_ptr<SimBus> BusForDevice(const std::string& text) {
    const auto options = ParseSimOptions(text);
    if (!options) return nullptr;
    std::shared_ptr<SimBus> bus;
    bool created = false;
    {
        auto& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        auto& slot = registry.buses[options->busName];
        if (!slot) {
            slot = std::make_shared<SimBus>(options->busName);
            created = true;
        }
        bus = slot;
    }
    for (uint8_t address : options->addresses) bus->AddUnit(address);
    if (created && options->addresses.empty()) bus->AddUnit(1);
    if (options->speed) bus->Clock().SetSpeed(*options->speed);
    if (options->paced) bus->SetPaced(true);
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
