#pragma once

#include <optional>
#include <vector>

namespace kelcmd::sim {

// How the velocity changes within one phase of a motion.
enum class RampShape {
    Linear,      // constant acceleration
    Sinusoidal,  // acceleration rises and falls as a half sine: no jerk at the phase ends
};

// The commanded motion of one axis over time (times in ms, positions in qc, velocities in qc/ms):
// a start, then phases that each change the velocity by some amount, and standing still at the
// final position afterwards. Positions are fractional; callers round them.
class Trajectory {
  public:
    struct Sample {
        double position = 0;
        double velocity = 0;
        double acceleration = 0;
    };

    // At `position` with `velocity` at `start`: standing there unless phases are added.
    Trajectory(double start, double position, double velocity = 0);

    // Appends a phase of `duration` ms that changes the velocity by `velocityChange` (0: cruise).
    void AddPhase(double duration, double velocityChange, RampShape shape);
    // Pins the final position, so that rounding in the phases cannot leave the axis off target.
    void EndAt(double position);

    double Start() const { return start_; }
    double End() const { return end_; }
    double FinalPosition() const { return final_.position; }
    double FinalVelocity() const { return final_.velocity; }
    bool Moving(double time) const { return time < end_ && !phases_.empty(); }

    Sample At(double time) const;
    // True while `time` lies in a phase that keeps its velocity (and the velocity is not zero).
    bool CruisingAt(double time) const;

    // The first time from `from` on at which the commanded position is `position`, if ever.
    std::optional<double> TimeReaching(double position, double from) const;

    // The part of this trajectory up to `time`, standing at the position reached there.
    Trajectory CutAt(double time) const;

  private:
    struct Phase {
        double start;
        double duration;
        double position;
        double velocity;
        double velocityChange;
        RampShape shape;
    };
    static Sample SampleOf(const Phase& phase, double time);

    double start_;
    double end_;
    std::vector<Phase> phases_;
    Sample final_;
};

}  // namespace kelcmd::sim
