#include "hex.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace kelcmd::app {

std::string HexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    char digits[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += digits;
    }
    return text;
}

std::optional<uint32_t> ParseNumber(const std::string& text, uint32_t max) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value > max) return std::nullopt;
    return static_cast<uint32_t>(value);
}

}  // namespace kelcmd::app
