#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelcmd {

// The texts the system parameter dialogs show.

// A parameter's name ("" for 8 and above 78) and unit ("" above 41 and where it has none).
std::string SystemParameterName(uint32_t number);
std::string SystemParameterUnit(uint32_t number);
// A value as the dialogs show it. `bits` holds the value as read, zero-extended from the
// parameter's width (the bit pattern for a Float). "" above 78.
std::string SystemParameterValueText(uint32_t number, uint32_t bits);

// The selection list of the single-parameter dialogs: the numbers by name in number order
// without 8, with "Max. Pulse Length Speed", "Brake Gain" and "SysParamCRC" (78) spelled for
// reading. Entry i selects SelectionParameterNumber(i).
const std::vector<std::string>& ParameterSelectionNames();
uint32_t SelectionParameterNumber(uint32_t entry);

// The value lists: "" for a value without text.
std::string StartUpModeText(int32_t mode);
std::string Rs232ModeText(int32_t mode);      // "N81", ...
std::string Rs232ModeLongText(int32_t mode);  // "No parity, 8 data bit, 1 stop bit", ...
// The baud rates offered for parameters 3 and 5.
const std::vector<int32_t>& OfferedBaudRates();
// The switch texts of "System Configuration" (7) and sysConfig2 (8), bit 0 first; "" above 15.
std::string SysConfigBitText(uint32_t bit);
std::string SysConfig2BitText(uint32_t bit);

// The version words of ReadVersion.
enum class VersionWord { kCmdVer, kLibVer, kHardRev, kBootVer, kAppNb, kAppVer };
std::string VersionText(VersionWord word, uint16_t value);

}  // namespace kelcmd
