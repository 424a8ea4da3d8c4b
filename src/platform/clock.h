#pragma once

#include <cstdint>

namespace kelcmd {

// Monotonic clock in nanoseconds; the high-resolution counter of the bus timing.
uint64_t MonotonicNanoseconds();

// Millisecond tick count: the monotonic clock in milliseconds, wrapping at 32 bits.
uint32_t TickCount();

// Spins on the monotonic clock until `microseconds` have passed. Never sleeps or yields: the gaps
// on the bus are shorter than a scheduler tick.
void BusyWaitMicroseconds(uint32_t microseconds);

}  // namespace kelcmd
