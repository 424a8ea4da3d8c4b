#pragma once

#include <string>
#include <vector>

#include "session.h"

namespace kelcmd::app {

// `record [--samples N] [--period MS] OUT`: sets the recorder up and starts it, makes a short
// relative move (switching position regulation on and setting a profile first when
// the unit refuses it), waits for the recording, reads it and writes OUT.rda and OUT.txt.
int RunRecord(Session& session, const std::vector<std::string>& arguments);

}  // namespace kelcmd::app
