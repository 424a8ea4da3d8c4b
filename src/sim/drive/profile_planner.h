#pragma once

#include <cstdint>

#include "sim/drive/trajectory.h"

namespace kelcmd::sim {

// The trajectory settings of a unit: profile type 1 constant or 2 sinusoidal acceleration,
// acceleration and deceleration in qc/ms^2, ceiling velocity in qc/ms.
struct ProfileSettings {
    uint8_t type = 1;
    double accel = 0.5;
    double decel = 0.5;
    double ceilingVelocity = 10.0;
};

// The flags a unit reports about a planned motion.
enum MotionFlag : uint8_t {
    kFlagDone = 1 << 0,       // the motion has already ended
    kFlagOvershoot = 1 << 1,  // the axis cannot stop in time and comes back to the target
    kFlagTrapez = 1 << 2,     // the motion reaches its ceiling velocity and cruises
    kFlagVmaxNeg = 1 << 3,    // the motion runs towards negative positions
    kFlagUpLimit = 1 << 4,    // the motion ends at the upper position limit
    kFlagLoLimit = 1 << 5,    // the motion ends at the lower position limit
};

struct PlannedMotion {
    Trajectory trajectory;
    uint8_t flags = 0;
    double duration = 0;  // ms until the motion ends (position moves) or reaches its velocity
};

// A point-to-point motion from the state (position, velocity) at `start` to `target`.
PlannedMotion PlanPositionMove(double start, double position, double velocity, double target,
                               const ProfileSettings& profile);

// A motion that reaches `velocity` and keeps it; it stops at the position limit it runs towards,
// braking in time.
PlannedMotion PlanVelocityMove(double start, double position, double velocity,
                               double targetVelocity, const ProfileSettings& profile,
                               double lowerLimit, double upperLimit);

// Braking from the state at `start` to standstill with the profile's deceleration.
Trajectory PlanStop(double start, double position, double velocity, const ProfileSettings& profile);

}  // namespace kelcmd::sim
