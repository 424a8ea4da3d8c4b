#pragma once

#include "session.h"

namespace kelcmd::app {

// Sets a unit up and moves it the way a commissioning engineer would, printing each step:
// regulation mode, profile, homing, absolute and relative moves, readings and the axis status.
int RunDemo(Session& session);

}  // namespace kelcmd::app
