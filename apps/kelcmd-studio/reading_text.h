#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelcmd::studio {

// The names of the axis status bits that are set, in the order the status window lists them
// ("Moving", "PosReg", "Referenced", ...).
std::vector<std::string> StatusNames(uint16_t status);

// "none" for 0, else "12 MNEMONIC: description" from the unit's error (warning) table.
std::string UnitErrorText(int16_t error);
std::string UnitWarningText(int16_t warning);

}  // namespace kelcmd::studio
