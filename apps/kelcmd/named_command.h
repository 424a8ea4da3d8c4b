#pragma once

#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// Whether `name` is a command export the program can run.
bool IsNamedExport(const std::string& name);

// `kelcmd MoveAbsolute 1000 5000`: runs the export on the session's port and slave and prints its
// outputs, or why it failed.
int RunNamedExport(Session& session, const std::vector<std::string>& arguments);

// The usage line of every export, for `kelcmd commands`.
void PrintNamedExports();

}  // namespace kelcmd::app
