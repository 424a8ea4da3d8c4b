#include "sim/sim_clock.h"

#include <cmath>

namespace kelcmd::sim {

SimClock::SimClock(double speed)
    : realBase_(RealClock::now()), speed_(std::isfinite(speed) && speed > 0 ? speed : 1.0) {}

void SimClock::SetSpeed(double speed) {
    if (!std::isfinite(speed) || speed <= 0) return;
    std::lock_guard lock(mutex_);
    const auto real = RealClock::now();
    simulatedBase_ = NowLocked(real);
    realBase_ = real;
    speed_ = speed;
}

double SimClock::Speed() const {
    std::lock_guard lock(mutex_);
    return speed_;
}

std::chrono::microseconds SimClock::Now() const {
    std::lock_guard lock(mutex_);
    return NowLocked(RealClock::now());
}

std::chrono::microseconds SimClock::NowLocked(RealClock::time_point real) const {
    const std::chrono::duration<double, std::micro> elapsed = real - realBase_;
    return simulatedBase_ +
           std::chrono::microseconds(static_cast<int64_t>(elapsed.count() * speed_));
}

SimClock::RealClock::duration SimClock::RealDuration(std::chrono::microseconds simulated) const {
    std::lock_guard lock(mutex_);
    const std::chrono::duration<double, std::micro> real(simulated.count() / speed_);
    return std::chrono::duration_cast<RealClock::duration>(real);
}

}  // namespace kelcmd::sim
