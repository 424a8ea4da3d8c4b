#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kelcmd::dialogs {

// Values through a printf format, the way the dialogs' texts are specified ("%i", "0x%.2X", ...).
template <class... Args>
std::string Printed(const char* format, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// The lowest `bits` bits, highest first, in groups of four: " | 1010 | 0101 | ".
std::string BitPatternText(uint32_t value, int bits);

}  // namespace kelcmd::dialogs
