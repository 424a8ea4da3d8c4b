#pragma once

#include <memory>
#include <string>

#include "sim/sim_bus.h"

namespace kelcmd::sim {

// The process-wide registry of simulated buses, keyed by bus name. A bus and its units' state stay
// in the registry when its device closes, so tests can configure units before opening and inspect
// them afterwards.

// The bus a device spec names, created if needed, with the units the spec lists (unit 1 when a new
// bus's spec lists none) and the speed and pacing the spec gives. Null for a malformed spec.
std::shared_ptr<SimBus> BusForSpec(const std::string& spec);

// Null when no bus of that name exists.
std::shared_ptr<SimBus> FindBus(const std::string& name);

// Forget a bus (or every bus) so that the next spec naming it starts afresh. A device still open on
// it keeps its bus until it is closed.
void RemoveBus(const std::string& name);
void RemoveAllBuses();

}  // namespace kelcmd::sim
