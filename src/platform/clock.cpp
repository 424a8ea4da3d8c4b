#include "platform/clock.h"

#include <errno.h>
#include <sys/prctl.h>
#include <time.h>

#include <algorithm>

namespace kelcmd {
namespace {

constexpr uint64_t kNanosPerSecond = 1000000000u;
constexpr int64_t kMinimumSpin = 10000;  // ns
constexpr int64_t kMaximumSpin = 100000;
constexpr int64_t kSpinReserve = 5000;  // spun beyond the expected lateness

// How late this thread's sleeps wake up: a running estimate that rises faster with a late wake
// than it sinks with an early one, so that it sits above most of the usual wake-ups (about four
// in five). Wake-ups later than the largest spin are preemptions; spinning longer would not have
// prevented them, only burnt the core.
class WakeLateness {
  public:
    int64_t Spin() const {
        return std::clamp(estimate_ + kSpinReserve, kMinimumSpin, kMaximumSpin);
    }
    void Observe(int64_t lateness) {
        lateness = std::clamp<int64_t>(lateness, 0, kMaximumSpin);
        if (lateness > estimate_) {
            estimate_ += (lateness - estimate_) / 4;
        } else {
            estimate_ -= (estimate_ - lateness) / 16;
        }
    }

  private:
    int64_t estimate_ = 30000;
};

// The kernel's default timer slack (50 us) would add to every wake-up; the thread is asked once.
void CutTimerSlack() {
    thread_local bool cut = false;
    if (cut) return;
    (void)::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    cut = true;
}

void SleepUntil(uint64_t time) {
    const timespec until{static_cast<time_t>(time / kNanosPerSecond),
                         static_cast<long>(time % kNanosPerSecond)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

}  // namespace

uint64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * kNanosPerSecond + static_cast<uint64_t>(now.tv_nsec);
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

void PreciseWaitUntil(uint64_t deadline) {
    thread_local WakeLateness lateness;
    const uint64_t spin = static_cast<uint64_t>(lateness.Spin());
    uint64_t now = MonotonicNanoseconds();
    if (deadline > now + spin) {
        CutTimerSlack();
        const uint64_t wake = deadline - spin;
        SleepUntil(wake);
        now = MonotonicNanoseconds();
        lateness.Observe(static_cast<int64_t>(now) - static_cast<int64_t>(wake));
    }
    while (now < deadline) now = MonotonicNanoseconds();
}

void PreciseWaitMicroseconds(uint32_t microseconds) {
    PreciseWaitUntil(MonotonicNanoseconds() + static_cast<uint64_t>(microseconds) * 1000u);
}

}  // namespace kelcmd
