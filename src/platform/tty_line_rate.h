#pragma once

#include <cstdint>

namespace kelcmd {

// The output rate in baud that a tty's line settings hold, from the kernel's own record
// (termios2), so that a free rate (250000, 31250) reads as itself and not as "no Bxxx constant".
// On a pseudo-terminal's master it is the rate the program on the slave set. 0 when the
// descriptor is no tty or its line is hung up (B0).
uint32_t TtyOutputRate(int descriptor);

}  // namespace kelcmd
