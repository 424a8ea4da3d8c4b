#pragma once

#include <string>

namespace kelcmd::studio {

class StudioWindow;

// The cockpit at work, as a picture: waits for the scan, polls the units at 10 Hz, switches every
// unit to position regulation and moves each to its own target through the command line, waits
// until they stand still, and writes the window to `path`. 0 when written, 1 otherwise.
int WriteCockpitSnapshot(StudioWindow& window, const std::string& path);

}  // namespace kelcmd::studio
