#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "command/parameter_list.h"

namespace kelcmd::app {

// A parameter value as the batch displays show it: "%i" for the integer types, "%.6f" for a
// Float, "NAN" for structures and blocks, binary digits for the Bits types, TRUE/FALSE for a Bool.
// `bytes` holds the value in host byte order.
std::string ParameterValueText(uint8_t type, std::span<const uint8_t> bytes);

// "name Type value" lines of one side of a list, each prefixed with `indent`; `valid` false
// shows every value as "not valid".
void PrintSendParameters(const CParameterList& list, const char* indent);
void PrintReturnParameters(const CParameterList& list, const char* indent, bool valid);

}  // namespace kelcmd::app
