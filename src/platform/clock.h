#pragma once

#include <cstdint>

namespace kelcmd {

// Monotonic clock in nanoseconds; the high-resolution counter of the bus timing.
uint64_t MonotonicNanoseconds();

// Millisecond tick count: the monotonic clock in milliseconds, wrapping at 32 bits.
uint32_t TickCount();

// Spins on the monotonic clock until `microseconds` have passed. Never sleeps or yields.
void BusyWaitMicroseconds(uint32_t microseconds);

// Waits until `microseconds` have passed, as exactly as a spin but without holding a core for the
// whole wait: the calling thread sleeps on the monotonic clock (its timer slack cut to 1 ns, once
// per thread) until shortly before the end and spins only through the last stretch. The stretch
// follows how late this thread's recent sleeps woke up, between 10 and 100 us.
void PreciseWaitMicroseconds(uint32_t microseconds);
// The same up to a time of MonotonicNanoseconds().
void PreciseWaitUntil(uint64_t deadline);

}  // namespace kelcmd
