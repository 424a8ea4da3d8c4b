#include "platform/clock.h"

#include <time.h>

namespace kelcmd {

uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

uint32_t TickCount() {
    return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000u);
}

void BusyWaitMicroseconds(uint32_t microseconds) {
    const uint64_t start = MonotonicNanoseconds();
    const uint64_t wait = static_cast<uint64_t>(microseconds) * 1000u;
    while (MonotonicNanoseconds() - start < wait) {
    }
}

}  // namespace kelcmd
