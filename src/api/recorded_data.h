#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelcmd {

// The signals a unit can record, by number; 16 and above have an empty name.
std::string_view RecordedSignalName(uint32_t signal);
// Velocity signals travel as fixed point with five fraction bits and are shown scaled by 1/32.
bool IsScaledSignal(uint32_t signal);
// The factor a sample of `signal` is shown with: 1/32 for the velocity signals, else 1.
float RecordedSignalScale(uint32_t signal);

// One sample of a curve: its time in the curve's time unit, and the value as it came (a 16-bit
// integer) or scaled (a float, for the velocity signals).
struct RecordedPoint {
    int32_t time = 0;
    std::variant<int16_t, float> value = int16_t{0};
    bool operator==(const RecordedPoint&) const = default;
};

// The samples of one recording vector, with what the graph needs to show them.
struct RecordedCurve {
    uint8_t vector = 0;
    uint8_t signal = 0;
    std::string name;
    std::string timeUnit;  // "us", "ms", or "samples" for polled data
    uint32_t period = 0;   // time between two samples, in timeUnit
    int32_t shown = 1;
    int32_t style = 0;
    std::vector<RecordedPoint> points;
    bool operator==(const RecordedCurve&) const = default;
};

// A set of curves, at most one per vector, in the order in which they were first filled.
class CRecordedData {
  public:
    const std::vector<RecordedCurve>& Curves() const { return curves_; }
    std::vector<RecordedCurve>& Curves() { return curves_; }
    bool Empty() const { return curves_.empty(); }
    void Clear() { curves_.clear(); }

    // Appends samples of one vector: the curve of that vector is created on first use with the
    // given signal. Period and time unit become this read's; a curve without points starts at
    // time 0, otherwise the first new sample lies one period after the last point. Velocity
    // signals are stored scaled as floats. The curve is shown afterwards and named after its
    // signal, numbered " 2", " 3", ... when earlier curves carry the same signal.
    void AppendSamples(uint8_t vector, uint8_t signal, std::span<const int16_t> samples,
                       uint32_t period, const std::string& timeUnit);

    bool operator==(const CRecordedData&) const = default;

  private:
    RecordedCurve& CurveOfVector(uint8_t vector, uint8_t signal);
    std::string NameOf(const RecordedCurve& curve) const;

    std::vector<RecordedCurve> curves_;
};

// A sample period of the unit in microseconds as the graph shows it: below 1000 in "us",
// otherwise whole milliseconds (the rest is dropped) in "ms".
struct TimeBase {
    uint32_t period = 0;
    std::string unit;
};
TimeBase TimeBaseOfMicroseconds(uint32_t periodUs);

}  // namespace kelcmd
