#pragma once

#include <functional>

namespace kelcmd::studio {

// Runs the application's events until `done` holds; false when `limitMs` passed first. For the
// snapshot and for tests, which wait for the poller's readings to arrive.
bool RunEventsUntil(const std::function<bool()>& done, int limitMs);

}  // namespace kelcmd::studio
