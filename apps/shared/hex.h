#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kelcmd::app {

// "01 00 03 00 C8" for the bytes given.
std::string HexBytes(std::span<const uint8_t> bytes);

// A number written in decimal, or in hex with 0x; nullopt when it is not a number or above `max`.
std::optional<uint32_t> ParseNumber(const std::string& text, uint32_t max);

}  // namespace kelcmd::app
