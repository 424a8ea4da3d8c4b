#pragma once

#include <string>
#include <vector>

namespace kelcmd::app {

// kelcmd ports: the serial devices of this machine, each with its by-id names, driver, the
// processes that hold it and whether this user may open it.
int RunPorts(const std::vector<std::string>& arguments);

// kelcmd doctor [DEVICE]: the same for one device (a path, a by-id link, a port name) or for every
// one, with what stands in the way of a KelBus line and how to fix it. Exit status 0 when nothing
// was found to fix, 1 otherwise, 2 for a usage error.
int RunDoctor(const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
