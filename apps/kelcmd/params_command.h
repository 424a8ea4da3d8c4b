#pragma once

#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// `params [--permanent]`: reads the unit's whole system parameter set (extended, or the short set
// when the unit refuses that) and prints one line per parameter: number, name, value, unit.
int RunParams(Session& session, const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
