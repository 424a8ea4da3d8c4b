#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelcmd::app {

// The whole file; nothing (after printing why) when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path);

}  // namespace kelcmd::app
