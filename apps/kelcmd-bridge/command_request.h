#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export_call.h"

namespace kelcmd::bridge {

// Larger payloads are refused unread: no command's parameters come near this.
inline constexpr size_t kMaxCommandPayload = 16 * 1024;

// A command from the broker, checked against the catalogue: nothing about it can fail before the
// bus any more (its inputs parse and fit their types).
struct CommandRequest {
    uint8_t unit = 0;
    const app::ExportEntry* entry = nullptr;
    std::vector<std::string> inputs;  // in the export's order, as the CLI would take them
};

// Reads `PREFIX/BUS/<unit>/command/<name>` with a JSON object of the send parameters by name (an
// empty payload stands for {}). On refusal returns nullopt with `error` saying why, in words for
// the one who sent it.
std::optional<CommandRequest> ParseCommandRequest(std::string_view unit, std::string_view name,
                                                  std::string_view payload, std::string& error);

}  // namespace kelcmd::bridge
