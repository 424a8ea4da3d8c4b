#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim_bus.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

}  // namespace kelcmd::testing
