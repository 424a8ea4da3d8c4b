#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export_call.h"
#include "kelcmd/kelcmd.h"

namespace kelcmd::bridge {

// A float the unit sent, without the digits its widening to double makes up (0.1, not
// 0.10000000149011612).
double SentFloat(double value);

// {"command": ..., "unit": ..., "ok": false, "error": ...}: the request never reached the bus.
std::string ErrorReply(std::string_view command, int unit, std::string_view error);

// How a command that ran ended: "ok", the outcome ("status", "result" and its text, the unit's
// "unit_error" and "warning" with their texts, "may_have_executed", ...) and, when it succeeded,
// its return parameters by name under "values".
std::string CommandReply(const app::ExportEntry& entry, uint8_t unit, int32_t result,
                         const KebOutcome& outcome, const std::vector<double>& values);

}  // namespace kelcmd::bridge
