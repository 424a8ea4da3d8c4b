#pragma once

#include <chrono>
#include <mutex>

namespace kelcmd::sim {

// The simulated time of a bus: it runs `speed` times faster than the real monotonic clock, so that
// long moves and delayed answers finish quickly in tests. Thread-safe.
class SimClock {
  public:
    using RealClock = std::chrono::steady_clock;

    explicit SimClock(double speed = 1.0);

    // Keeps simulated time continuous: only its rate changes from now on. Ignores speeds <= 0.
    void SetSpeed(double speed);
    double Speed() const;

    // Simulated time since the bus was created.
    std::chrono::microseconds Now() const;

    // How long a span of simulated time lasts in real time at the current speed.
    RealClock::duration RealDuration(std::chrono::microseconds simulated) const;

  private:
    std::chrono::microseconds NowLocked(RealClock::time_point real) const;

    mutable std::mutex mutex_;
    RealClock::time_point realBase_;
    std::chrono::microseconds simulatedBase_{0};
    double speed_;
};

}  // namespace kelcmd::sim
