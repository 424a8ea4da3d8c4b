#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "api/recorded_data.h"

namespace kelcmd::dialogs {

// The unit shown for a recorded signal ("qc", "qc/ms", "mA", "gain", "index" or none).
std::string SignalUnit(uint32_t signal);
// The signal's axis group; signals of one group share a value axis. -1 for none.
int SignalGroup(uint32_t signal);

// A curve as the graph draws it: times and values as doubles, whatever the recording stored.
struct GraphCurve {
    std::string name;
    uint8_t signal = 0;
    std::string timeUnit;
    bool shown = true;
    std::vector<double> times;
    std::vector<double> values;
};

GraphCurve ToGraphCurve(const RecordedCurve& curve);

// The differences of set-point and actual curves that were both recorded: "error position",
// "error velocity", "error velocity mean", "error current", "error current mean". Each has the
// samples of the shorter partner and the set-point curve's signal, time unit and times.
std::vector<GraphCurve> DeriveErrorCurves(const std::vector<RecordedCurve>& curves);

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};
// The colours of `count` curves in curve order. Black counts as taken from the start, so eleven
// colours are handed out; later curves repeat them.
std::vector<Rgb> CurveColours(size_t count);

enum class Axis { kNone, kLeft, kRight };

struct Range {
    double low = 0;
    double high = 0;
    double Span() const { return high - low; }
};

// Which value axis each curve uses, by the group of the curve that first took it.
struct AxisAssignment {
    std::vector<Axis> axis;  // per curve
    std::optional<uint8_t> leftSignal;
    std::optional<uint8_t> rightSignal;
};
AxisAssignment AssignAxes(const std::vector<GraphCurve>& curves);

// The range of an axis over the shown curves on it; a curve without the left axis counts for the
// right one. No points: -1000 to 1000. All points equal (a motor at rest): the value +/- 1, or
// +/- a tenth of it for large values, so the scale never divides by zero.
Range ValueRange(const std::vector<GraphCurve>& curves, const AxisAssignment& axes, Axis side);
// The times of all curves; a single sample or none gives a range one period wide.
Range TimeRange(const std::vector<GraphCurve>& curves);

// Maps between a range and a pixel span. A zero range is treated as one unit wide.
double ToPixel(double value, const Range& range, double pixelLow, double pixelHigh);
double FromPixel(double pixel, const Range& range, double pixelLow, double pixelHigh);

struct Tick {
    double value = 0;
    bool major = false;
    std::string label;  // only on major ticks
};
// Value axis: height / 20 ticks, rounded up to an even number (at least 2); every fifth is major,
// labelled "%.1f", or "%.1e" when a range bound reaches 100000 in magnitude.
std::vector<Tick> ValueTicks(const Range& range, double heightPixels);
// Time axis: a step of 1, 2 or 5 times a power of ten whose major ticks (every fifth) lie at least
// `labelPixels` apart; labels are the time divided by 1000 in "%.3f", or the plain sample number
// for polled data.
std::vector<Tick> TimeTicks(const Range& range, double widthPixels, double labelPixels,
                            const std::string& timeUnit);
// "TimeBase: [s]" for ms, "TimeBase: [ms]" for us, "TimeBase: [samples]" for polled data.
std::string TimeBaseText(const std::string& timeUnit);

struct Statistics {
    double maximum = 0;
    double minimum = 0;
    double mean = 0;
};
std::optional<Statistics> CurveStatistics(const GraphCurve& curve);
// "%.2f " as the Max, Min and Mean fields show a value.
std::string FieldText(double value);

enum class CursorMode { kOff = 0, kFree = 1, kAttached = 2 };
// "Free Cursor: 1.234 s; 5.000 qc" and the like: the time divided by 1000 ("ms" for us, "s"
// otherwise, or plain samples for polled data) and the value, "%.1e" from 100000 on.
std::string CursorText(CursorMode mode, double time, double value, const std::string& timeUnit,
                       const std::string& unit);
enum class Measure { kNone, kMax, kMin, kMean };
std::string MeasureText(Measure measure, double value, const std::string& unit);
// The index of the sample of `curve` nearest to `time`, or nothing for an empty curve.
std::optional<size_t> NearestSample(const GraphCurve& curve, double time);

}  // namespace kelcmd::dialogs
