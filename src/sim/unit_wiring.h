#pragma once

namespace kelcmd::sim {

class SimUnit;

// Connects the parts installed on a unit that work together: a drive model's motion becomes the
// recorder's sample source, and its movement commands start an automatic recording. (The drive
// finds the parameter memory itself, whenever it reads a limit.) Parts missing on the unit are
// left out; running it again after a part was replaced connects the new part.
void ConnectUnitParts(SimUnit& unit);

}  // namespace kelcmd::sim
