#pragma once

#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// `run-batch FILE.kbc`: loads one batch file, executes the batch on the session's port and slave
// by its own batch type, and prints each member's status and return values.
int RunBatch(Session& session, const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
