#include "sim/drive/profile_planner.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelcmd::sim {
namespace {

// A sinusoidal ramp with peak acceleration a changes the velocity at the mean rate 2a/pi.
double EffectiveRate(double rate, const ProfileSettings& profile) {
    return profile.type == 2 ? rate * 2 / std::numbers::pi : rate;
}

RampShape ShapeOf(const ProfileSettings& profile) {
    return profile.type == 2 ? RampShape::Sinusoidal : RampShape::Linear;
}

double Sign(double value) {
    return value < 0 ? -1.0 : 1.0;
}

void RampTo(Trajectory& trajectory, double velocity, double rate, RampShape shape) {
    const double change = velocity - trajectory.FinalVelocity();
    if (change == 0) return;
    trajectory.AddPhase(std::abs(change) / rate, change, shape);
}

// Appends the phases that bring the trajectory from its final state to rest at `target`.
void AppendMoveTo(Trajectory& trajectory, double target, const ProfileSettings& profile,
                  uint8_t& flags) {
    const double accel = EffectiveRate(profile.accel, profile);
    const double decel = EffectiveRate(profile.decel, profile);
    const RampShape shape = ShapeOf(profile);
    const double ceiling = std::abs(profile.ceilingVelocity);

    double velocity = trajectory.FinalVelocity();
    double distance = target - trajectory.FinalPosition();
    if (velocity != 0 && (Sign(velocity) != Sign(distance) || distance == 0 ||
                          velocity * velocity / (2 * decel) > std::abs(distance))) {
        // Moving away from the target, or too fast to stop before it: stop first, then return.
        if (distance != 0 && Sign(velocity) == Sign(distance)) flags |= kFlagOvershoot;
        RampTo(trajectory, 0, decel, shape);
        velocity = 0;
        distance = target - trajectory.FinalPosition();
    }
    if (std::abs(distance) < 1e-9) {
        trajectory.EndAt(target);
        return;
    }
    const double direction = Sign(distance);
    double speed = std::abs(velocity);
    if (speed > ceiling) {
        RampTo(trajectory, direction * ceiling, decel, shape);
        speed = ceiling;
        distance = target - trajectory.FinalPosition();
    }
    const double remaining = std::abs(distance);
    // The peak of a triangle: accelerate from `speed` at accel, brake to rest at decel.
    const double peakSquared =
        (remaining + speed * speed / (2 * accel)) / (1 / (2 * accel) + 1 / (2 * decel));
    double peak = std::sqrt(std::max(peakSquared, speed * speed));
    if (peak >= ceiling) {
        peak = ceiling;
        RampTo(trajectory, direction * peak, accel, shape);
        const double cruise =
            remaining - (peak * peak - speed * speed) / (2 * accel) - peak * peak / (2 * decel);
        if (cruise > 0) {
            trajectory.AddPhase(cruise / peak, 0, shape);
            flags |= kFlagTrapez;
        }
    } else {
        RampTo(trajectory, direction * peak, accel, shape);
    }
    RampTo(trajectory, 0, decel, shape);
    if (direction < 0) flags |= kFlagVmaxNeg;
    trajectory.EndAt(target);
}

}  // namespace

PlannedMotion PlanPositionMove(double start, double position, double velocity, double target,
                               const ProfileSettings& profile) {
    PlannedMotion plan{Trajectory(start, position, velocity)};
    AppendMoveTo(plan.trajectory, target, profile, plan.flags);
    plan.duration = plan.trajectory.End() - start;
    return plan;
}

PlannedMotion PlanVelocityMove(double start, double position, double velocity,
                               double targetVelocity, const ProfileSettings& profile,
                               double lowerLimit, double upperLimit) {
    const double accel = EffectiveRate(profile.accel, profile);
    const double decel = EffectiveRate(profile.decel, profile);
    const RampShape shape = ShapeOf(profile);

    PlannedMotion plan{Trajectory(start, position, velocity)};
    Trajectory& trajectory = plan.trajectory;
    if (velocity != 0 && targetVelocity != 0 && Sign(velocity) != Sign(targetVelocity)) {
        RampTo(trajectory, 0, decel, shape);
    }
    const bool faster = std::abs(targetVelocity) >= std::abs(trajectory.FinalVelocity());
    RampTo(trajectory, targetVelocity, faster ? accel : decel, shape);
    plan.duration = trajectory.End() - start;
    if (targetVelocity == 0) {
        trajectory.EndAt(trajectory.FinalPosition());
        return plan;
    }

    const double direction = Sign(targetVelocity);
    const double limit = direction > 0 ? upperLimit : lowerLimit;
    plan.flags |= direction > 0 ? kFlagUpLimit : kFlagLoLimit;
    if (direction < 0) plan.flags |= kFlagVmaxNeg;
    const double brakePoint = limit - direction * targetVelocity * targetVelocity / (2 * decel);
    const double cruise = (brakePoint - trajectory.FinalPosition()) * direction;
    if (cruise < 0) {
        // The limit is too near to reach the velocity: go there as a position move.
        PlannedMotion toLimit = PlanPositionMove(start, position, velocity, limit, profile);
        toLimit.flags = plan.flags | (toLimit.flags & kFlagOvershoot);
        return toLimit;
    }
    trajectory.AddPhase(cruise / std::abs(targetVelocity), 0, shape);
    RampTo(trajectory, 0, decel, shape);
    trajectory.EndAt(limit);
    return plan;
}

Trajectory PlanStop(double start, double position, double velocity,
                    const ProfileSettings& profile) {
    Trajectory trajectory(start, position, velocity);
    RampTo(trajectory, 0, EffectiveRate(profile.decel, profile), ShapeOf(profile));
    trajectory.EndAt(trajectory.FinalPosition());
    return trajectory;
}

}  // namespace kelcmd::sim
