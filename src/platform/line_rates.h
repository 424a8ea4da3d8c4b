#pragma once

#include <cstdint>

namespace kelcmd {

// The rates a serial line of this library runs at, whatever its device (a tty, a pseudo-terminal
// or a simulated bus): any whole rate from 1 to 4,000,000 baud. Openings and programs check a
// rate here, so that one rule answers everywhere.
inline constexpr uint32_t kMinLineBaud = 1;
inline constexpr uint32_t kMaxLineBaud = 4000000;

bool IsLineBaudRate(uint32_t baud);

}  // namespace kelcmd
