#include "dialogs/graph/graph_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kelcmd::dialogs {
namespace {

constexpr double kExponentFrom = 100000.0;

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format2(const char* format, double first, double second) {
    char text[96];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

}  // namespace

std::string SignalUnit(uint32_t signal) {
    switch (signal) {
        case 0:
        case 1:
            return "qc";
        case 2:
        case 3:
        case 8:
            return "qc/ms";
        case 4:
        case 5:
        case 9:
            return "mA";
        case 10:
        case 11:
        case 12:
            return "gain";
        case 13:
            return "index";
        default:
            return "";
    }
}

int SignalGroup(uint32_t signal) {
    switch (signal) {
        case 0:
        case 1:
            return 0;
        case 2:
        case 3:
        case 8:
            return 1;
        case 4:
        case 5:
        case 9:
            return 2;
        case 6:
        case 7:
        case 10:
        case 11:
        case 12:
            return 3;
        case 13:
            return 4;
        case 14:
        case 15:
            return 5;
        default:
            return -1;
    }
}

GraphCurve ToGraphCurve(const RecordedCurve& curve) {
    GraphCurve graph{curve.name, curve.signal, curve.timeUnit, curve.shown != 0, {}, {}};
    graph.times.reserve(curve.points.size());
    graph.values.reserve(curve.points.size());
    for (const RecordedPoint& point : curve.points) {
        graph.times.push_back(point.time);
        graph.values.push_back(
            std::visit([](auto v) { return static_cast<double>(v); }, point.value));
    }
    return graph;
}

std::vector<GraphCurve> DeriveErrorCurves(const std::vector<RecordedCurve>& curves) {
    struct Pair {
        uint8_t setPoint;
        uint8_t actual;
        const char* name;
    };
    static constexpr std::array<Pair, 5> kPairs = {{{0, 1, "error position"},
                                                    {2, 3, "error velocity"},
                                                    {2, 8, "error velocity mean"},
                                                    {4, 5, "error current"},
                                                    {4, 9, "error current mean"}}};
    std::vector<GraphCurve> errors;
    for (const RecordedCurve& setPoint : curves) {
        for (const RecordedCurve& actual : curves) {
            const auto pair = std::find_if(kPairs.begin(), kPairs.end(), [&](const Pair& p) {
                return p.setPoint == setPoint.signal && p.actual == actual.signal;
            });
            if (pair == kPairs.end()) continue;
            const GraphCurve must = ToGraphCurve(setPoint);
            const GraphCurve is = ToGraphCurve(actual);
            GraphCurve error{pair->name, setPoint.signal, setPoint.timeUnit, true, {}, {}};
            const size_t count = std::min(must.values.size(), is.values.size());
            for (size_t i = 0; i < count; ++i) {
                error.times.push_back(must.times[i]);
                error.values.push_back(static_cast<float>(must.values[i] - is.values[i]));
            }
            errors.push_back(std::move(error));
            break;  // the first partner in list order
        }
    }
    return errors;
}

std::vector<Rgb> CurveColours(size_t count) {
    static constexpr std::array<Rgb, 12> kColours = {{{255, 0, 0},
                                                      {1, 1, 1},
                                                      {0, 160, 0},
                                                      {0, 0, 255},
                                                      {255, 255, 255},
                                                      {0, 255, 255},
                                                      {255, 0, 255},
                                                      {178, 178, 178},
                                                      {255, 204, 204},
                                                      {102, 102, 51},
                                                      {204, 204, 51},
                                                      {0, 0, 0}}};
    constexpr size_t kUsable = kColours.size() - 1;  // black is taken from the start
    std::vector<Rgb> colours;
    for (size_t i = 0; i < count; ++i) colours.push_back(kColours[i % kUsable]);
    return colours;
}

AxisAssignment AssignAxes(const std::vector<GraphCurve>& curves) {
    AxisAssignment result;
    std::optional<int> leftGroup;
    std::optional<int> rightGroup;
    for (const GraphCurve& curve : curves) {
        const int group = SignalGroup(curve.signal);
        Axis axis = Axis::kNone;
        if (!leftGroup) {
            leftGroup = group;
            result.leftSignal = curve.signal;
            axis = Axis::kLeft;
        } else if (group == *leftGroup) {
            axis = Axis::kLeft;
        } else if (!rightGroup) {
            rightGroup = group;
            result.rightSignal = curve.signal;
            axis = Axis::kRight;
        } else if (group == *rightGroup) {
            axis = Axis::kRight;
        }
        result.axis.push_back(axis);
    }
    return result;
}

Range ValueRange(const std::vector<GraphCurve>& curves, const AxisAssignment& axes, Axis side) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (size_t i = 0; i < curves.size(); ++i) {
        const Axis axis = i < axes.axis.size() ? axes.axis[i] : Axis::kNone;
        const bool onSide = side == Axis::kLeft ? axis == Axis::kLeft : axis != Axis::kLeft;
        if (!curves[i].shown || !onSide) continue;
        for (const double value : curves[i].values) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    if (low > high) return {-1000, 1000};
    if (low == high) {
        const double margin = std::max(1.0, std::fabs(low) / 10);
        return {low - margin, high + margin};
    }
    return {low, high};
}

Range TimeRange(const std::vector<GraphCurve>& curves) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const GraphCurve& curve : curves) {
        for (const double time : curve.times) {
            low = std::min(low, time);
            high = std::max(high, time);
        }
    }
    if (low > high) return {0, 1};
    if (low == high) return {low, low + 1};
    return {low, high};
}

double ToPixel(double value, const Range& range, double pixelLow, double pixelHigh) {
    const double span = range.Span() != 0 ? range.Span() : 1;
    return pixelLow + (value - range.low) / span * (pixelHigh - pixelLow);
}

double FromPixel(double pixel, const Range& range, double pixelLow, double pixelHigh) {
    const double pixels = pixelHigh != pixelLow ? pixelHigh - pixelLow : 1;
    return range.low + (pixel - pixelLow) / pixels * range.Span();
}

std::vector<Tick> ValueTicks(const Range& range, double heightPixels) {
    int count = static_cast<int>(std::ceil(std::max(heightPixels, 1.0) / 20));
    if (count % 2 != 0) ++count;
    count = std::max(count, 2);
    const bool exponent = std::max(std::fabs(range.low), std::fabs(range.high)) >= kExponentFrom;
    std::vector<Tick> ticks;
    for (int i = 0; i <= count; ++i) {
        const double value = range.low + range.Span() * i / count;
        const bool major = i % 5 == 0;
        ticks.push_back({value, major, major ? Format(exponent ? "%.1e" : "%.1f", value) : ""});
    }
    return ticks;
}

std::vector<Tick> TimeTicks(const Range& range, double widthPixels, double labelPixels,
                            const std::string& timeUnit) {
    std::vector<Tick> ticks;
    if (range.Span() <= 0 || widthPixels <= 0) return ticks;
    // The smallest 1-2-5 step whose major ticks leave room for a label.
    const double minorPixelsWanted = std::max(labelPixels, 1.0) / 5;
    const double minStep = minorPixelsWanted * range.Span() / widthPixels;
    double step = std::pow(10.0, std::floor(std::log10(minStep)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= minStep) {
            step *= factor;
            break;
        }
    }
    if (timeUnit == "samples") step = std::max(step, 1.0);
    const auto first = static_cast<long long>(std::ceil(range.low / step));
    const auto last = static_cast<long long>(std::floor(range.high / step));
    for (long long n = first; n <= last && ticks.size() < 10000; ++n) {
        const double time = n * step;
        const bool major = n % 5 == 0;
        std::string label;
        if (major)
            label = timeUnit == "samples" ? Format("%.0f", time) : Format("%.3f", time / 1000);
        ticks.push_back({time, major, label});
    }
    return ticks;
}

std::string TimeBaseText(const std::string& timeUnit) {
    if (timeUnit == "ms") return "TimeBase: [s]";
    if (timeUnit == "us") return "TimeBase: [ms]";
    if (timeUnit == "samples") return "TimeBase: [samples]";
    return "";
}

std::optional<Statistics> CurveStatistics(const GraphCurve& curve) {
    if (curve.values.empty()) return std::nullopt;
    Statistics stats{curve.values.front(), curve.values.front(), 0};
    double sum = 0;
    for (const double value : curve.values) {
        stats.maximum = std::max(stats.maximum, value);
        stats.minimum = std::min(stats.minimum, value);
        sum += value;
    }
    stats.mean = sum / static_cast<double>(curve.values.size());
    return stats;
}

std::string FieldText(double value) {
    return Format("%.2f ", value);
}

std::string CursorText(CursorMode mode, double time, double value, const std::string& timeUnit,
                       const std::string& unit) {
    std::string text = mode == CursorMode::kAttached ? "Attached Cursor: " : "Free Cursor: ";
    const bool exponent = std::fabs(value) >= kExponentFrom;
    if (timeUnit == "samples") {
        text += Format2(exponent ? "%.0f samples; %.1e" : "%.0f samples; %.3f", time, value);
    } else {
        const bool us = timeUnit == "us";
        const char* format = exponent ? (us ? "%.1f ms; %.1e" : "%.1f s; %.1e")
                                      : (us ? "%.3f ms; %.3f" : "%.3f s; %.3f");
        text += Format2(format, time / 1000, value);
    }
    return text + " " + unit;
}

std::string MeasureText(Measure measure, double value, const std::string& unit) {
    const char* kind = measure == Measure::kMax   ? "Max. "
                       : measure == Measure::kMin ? "Min. "
                                                  : "Mean. ";
    const char* format = std::fabs(value) >= kExponentFrom ? "%.1e" : "%.3f";
    return std::string("Measure: ") + kind + Format(format, value) + " " + unit;
}

std::optional<size_t> NearestSample(const GraphCurve& curve, double time) {
    if (curve.times.empty()) return std::nullopt;
    const auto after = std::lower_bound(curve.times.begin(), curve.times.end(), time);
    if (after == curve.times.begin()) return 0;
    if (after == curve.times.end()) return curve.times.size() - 1;
    const auto before = after - 1;
    const size_t index = static_cast<size_t>(after - curve.times.begin());
    return (time - *before) <= (*after - time) ? index - 1 : index;
}

}  // namespace kelcmd::dialogs
