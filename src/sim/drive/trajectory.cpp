#include "sim/drive/trajectory.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelcmd::sim {

Trajectory::Trajectory(double start, double position, double velocity)
    : start_(start), end_(start) {
    final_.position = position;
    final_.velocity = velocity;
}

void Trajectory::AddPhase(double duration, double velocityChange, RampShape shape) {
    if (!(duration > 0)) return;
    const Phase phase{end_, duration, final_.position, final_.velocity, velocityChange, shape};
    phases_.push_back(phase);
    end_ += duration;
    // Both shapes cover the same distance: the mean velocity is the middle of the two ends.
    final_.position += (final_.velocity + velocityChange / 2) * duration;
    final_.velocity += velocityChange;
    final_.acceleration = 0;
}

void Trajectory::EndAt(double position) {
    final_.position = position;
}

Trajectory::Sample Trajectory::SampleOf(const Phase& phase, double time) {
    const double t = std::clamp(time - phase.start, 0.0, phase.duration);
    const double span = phase.duration;
    const double dv = phase.velocityChange;
    Sample sample;
    if (phase.shape == RampShape::Linear) {
        sample.velocity = phase.velocity + dv * t / span;
        sample.position = phase.position + phase.velocity * t + dv * t * t / (2 * span);
        sample.acceleration = dv / span;
    } else {
        const double angle = std::numbers::pi * t / span;
        sample.velocity = phase.velocity + dv * (1 - std::cos(angle)) / 2;
        sample.position = phase.position + phase.velocity * t +
                          dv / 2 * (t - span / std::numbers::pi * std::sin(angle));
        sample.acceleration = dv * std::numbers::pi / (2 * span) * std::sin(angle);
    }
    return sample;
}

Trajectory::Sample Trajectory::At(double time) const {
    if (phases_.empty() || time >= end_) return final_;
    if (time <= start_) return SampleOf(phases_.front(), start_);
    const auto phase = std::upper_bound(phases_.begin(), phases_.end(), time,
                                        [](double t, const Phase& p) { return t < p.start; });
    return SampleOf(*std::prev(phase), time);
}

bool Trajectory::CruisingAt(double time) const {
    if (!Moving(time) || time < start_) return false;
    const auto phase = std::upper_bound(phases_.begin(), phases_.end(), time,
                                        [](double t, const Phase& p) { return t < p.start; });
    const Phase& current = *std::prev(phase);
    return current.velocityChange == 0 && current.velocity != 0;
}

std::optional<double> Trajectory::TimeReaching(double position, double from) const {
    const auto reaches = [position](double a, double b) {
        return std::min(a, b) <= position && position <= std::max(a, b);
    };
    from = std::max(from, start_);
    for (const Phase& phase : phases_) {
        const double phaseEnd = std::min(phase.start + phase.duration, end_);
        if (phaseEnd < from) continue;
        double lo = std::max(phase.start, from);
        double hi = phaseEnd;
        const double startPosition = SampleOf(phase, lo).position;
        if (!reaches(startPosition, SampleOf(phase, hi).position)) continue;
        // Within one phase the velocity keeps its sign, so the position is monotonic: bisect.
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            if (reaches(startPosition, SampleOf(phase, mid).position)) {
                hi = mid;
            } else {
                lo = mid;
            }
        }
        return hi;
    }
    if (std::abs(final_.position - position) < 1e-6) return std::max(from, end_);
    return std::nullopt;
}

Trajectory Trajectory::CutAt(double time) const {
    Trajectory cut = *this;
    if (time >= end_) return cut;
    // The phases stay as planned; the trajectory simply ends early, standing where it was.
    cut.final_ = At(time);
    cut.final_.velocity = 0;
    cut.final_.acceleration = 0;
    cut.end_ = std::max(time, start_);
    while (!cut.phases_.empty() && cut.phases_.back().start >= cut.end_) cut.phases_.pop_back();
    return cut;
}

}  // namespace kelcmd::sim
