#pragma once

#include <string>

namespace kelcmd::app {

// Why the calling thread's last command failed, from the library's record of it:
// "XMT_ERR_TACK / Timeout while waiting for ACK! ..." or, for a refusal, "refused by the unit: "
// with its reason and warning; a failure after which the unit may still have run the command ends
// with "; the unit may have executed it". Empty when it did not fail on the bus (it succeeded, or never
// reached the line).
std::string LastFailureText();

}  // namespace kelcmd::app
