#pragma once

#include <chrono>
#include <functional>
#include <utility>

#include "sim/sim_clock.h"

namespace kelcmd::sim {

// Where a simulated recorder takes its samples from: the value of a recordable signal at a moment
// of the bus's simulated time, in the signal's own unit (qc, qc/ms, mA, duty cycle per 266, ...).
// Signal numbers: 0 position must, 1 position is, 2 velocity must, 3 velocity is, 4 current must,
// 5 current is, 6 PWM duty cycle, 7 current integrator, 8 mean velocity, 9 mean current, 10 to
// 13 the tuning values, 14 and 15 the analog inputs. A drive model implements it; the recorder
// asks for each sample once, in time order, when the host reads the sample.
class SampleSource {
  public:
    virtual ~SampleSource() = default;
    virtual double Signal(int signal, std::chrono::microseconds time) const = 0;
    // The time the signals run on, given the bus's clock: a model whose time runs ahead of the
    // bus has the recorder follow it.
    virtual std::chrono::microseconds Now(const SimClock& bus) const { return bus.Now(); }
};

// A unit at rest: every signal 0. What a recorder samples until a model gives it a source.
class RestingSource final : public SampleSource {
  public:
    double Signal(int, std::chrono::microseconds) const override { return 0.0; }
};

// A source from a function, for tests and small models.
class FunctionSource final : public SampleSource {
  public:
    using Function = std::function<double(int signal, std::chrono::microseconds time)>;
    explicit FunctionSource(Function function) : function_(std::move(function)) {}
    double Signal(int signal, std::chrono::microseconds time) const override {
        return function_(signal, time);
    }

  private:
    Function function_;
};

}  // namespace kelcmd::sim
