#pragma once

#include <string>

namespace kelcmd::app {

// Installs an error callback on the port that remembers the last failure, so that a failed
// command can say why.
bool WatchFailures(const std::string& port);

// "XMT_ERR_TACK / Timeout while waiting for ACK! ..." or, for a refusal, its reason and warning;
// empty when nothing failed since the last call.
std::string TakeFailureText();

}  // namespace kelcmd::app
