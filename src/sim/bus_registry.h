#pragma once

#include <memory>
#include <string>

#include "sim/sim_bus.h"

namespace kelcmd::sim {

// The process-wide registry of simulated buses, keyed by bus name. A bus and its units' state stay
// in the registry when its device closes, so tests can configure units before opening and inspect
// them afterwards.

// The bus a simulated device ("sim:1-3,bus=NAME,...") names, created if needed, with the units it
// lists (unit 1 when a new bus's device lists none) and the speed and pacing it gives. Null for a
// malformed device text.
std::shared_ptr<SimBus> BusForDevice(const std::string& device);

// Null when no bus of that name exists.
std::shared_ptr<SimBus> FindBus(const std::string& name);

// Forget a bus (or every bus) so that the next device text naming it starts afresh. A device still
// open on it keeps its bus until it is closed.
void RemoveBus(const std::string& name);
void RemoveAllBuses();

}  // namespace kelcmd::sim
