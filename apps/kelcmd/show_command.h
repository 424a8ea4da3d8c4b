#pragma once

#include <string>
#include <vector>

namespace kelcmd::app {

// `show FILE`: prints a batch (.kbc), customer command set (.ccs), structure definition (.usp) or
// recorded data (.rda) file in readable form, chosen by the file's extension. Needs no port.
int RunShow(const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
