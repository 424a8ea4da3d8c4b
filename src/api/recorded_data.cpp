#include "api/recorded_data.h"

#include <array>

namespace kelcmd {
namespace {

constexpr std::array<std::string_view, 16> kSignalNames{
    "position must", "position is",      "velocity must",  "velocity is",
    "current must",  "current is",       "PWM duty cycle", "current integrator",
    "mean velocity", "mean current",     "P gain",         "I gain",
    "D gain",        "performace index", "analog input 1", "analog input 2",
};

constexpr float kVelocityScale = 0.03125f;

}  // namespace

std::string_view RecordedSignalName(uint32_t signal) {
    return signal < kSignalNames.size() ? kSignalNames[signal] : std::string_view{};
}

bool IsScaledSignal(uint32_t signal) {
    return signal == 2 || signal == 3 || signal == 8;
}

float RecordedSignalScale(uint32_t signal) {
    return IsScaledSignal(signal) ? kVelocityScale : 1.0f;
}

TimeBase TimeBaseOfMicroseconds(uint32_t periodUs) {
    if (periodUs < 1000) return {periodUs, "us"};
    return {periodUs / 1000, "ms"};
}

RecordedCurve& CRecordedData::CurveOfVector(uint8_t vector, uint8_t signal) {
    for (RecordedCurve& curve : curves_) {
        if (curve.vector == vector) return curve;
    }
    RecordedCurve& curve = curves_.emplace_back();
    curve.vector = vector;
    curve.signal = signal;
    return curve;
}

std::string CRecordedData::NameOf(const RecordedCurve& curve) const {
    // Numbered by the curve's place among the curves of its signal, so that a second pass of
    // reads does not give two curves the same name.
    int ordinal = 1;
    for (const RecordedCurve& other : curves_) {
        if (&other == &curve) break;
        if (other.signal == curve.signal) ++ordinal;
    }
    std::string name(RecordedSignalName(curve.signal));
    if (ordinal > 1) {
        name += ' ';
        name += std::to_string(ordinal);
    }
    return name;
}

void CRecordedData::AppendSamples(uint8_t vector, uint8_t signal, std::span<const int16_t> samples,
                                  uint32_t period, const std::string& timeUnit) {
    RecordedCurve& curve = CurveOfVector(vector, signal);
    curve.period = period;
    curve.timeUnit = timeUnit;
    curve.name = NameOf(curve);
    // Times are 32-bit; very long recordings wrap rather than overflow.
    const bool empty = curve.points.empty();
    const int64_t base = empty ? 0 : int64_t{curve.points.back().time} + period;
    curve.points.reserve(curve.points.size() + samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        RecordedPoint point;
        point.time = static_cast<int32_t>(base + static_cast<int64_t>(i) * period);
        if (IsScaledSignal(curve.signal)) {
            point.value = static_cast<float>(samples[i]) * RecordedSignalScale(curve.signal);
        } else {
            point.value = samples[i];
        }
        curve.points.push_back(point);
    }
    curve.shown = 1;
}

}  // namespace kelcmd
