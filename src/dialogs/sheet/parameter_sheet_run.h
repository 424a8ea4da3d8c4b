#pragma once

#include <cstdint>

namespace kelcmd {
class CCommandFamily;
}

namespace kelcmd::dialogs {

// The whole parameter set in the property sheet: read in the extended form (refused: the short
// form), edit, and on "&OK" write it back in the form it was read. "Error reading parameter!"
// when neither read succeeds, "Error writing parameter!" when the write fails. 1 when written; 0
// on failure or "&Cancel" (nothing written).
int EditAllParameters(CCommandFamily& family, bool temporary, const char* port, uint8_t slave);

}  // namespace kelcmd::dialogs
