// The drawing rules of the recorded data graph, without a window: error curves, axes and their
// scales, ticks, statistics and the cursor read-out.
#include "dialogs/graph/graph_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelcmd::dialogs {
namespace {

CRecordedData Recording(std::initializer_list<std::pair<uint8_t, std::vector<int16_t>>> curves,
                        uint32_t period = 1, const std::string& unit = "ms") {
    CRecordedData data;
    uint8_t vector = 0;
    for (const auto& [signal, samples] : curves) {
        data.AppendSamples(vector++, signal, samples, period, unit);
    }
    return data;
}

struct ErrorCase {
    std::vector<uint8_t> signals;
    std::vector<std::string> errors;
};

TEST(GraphModel, ErrorCurvesComeFromSetPointAndActualPairs) {
    const std::vector<ErrorCase> cases = {
        {{0, 1}, {"error position"}},
        {{2, 8}, {"error velocity mean"}},
        {{2, 3, 8}, {"error velocity"}},  // the first partner in list order
        {{4, 9, 0}, {"error current mean"}},
        {{1, 5, 3}, {}},  // actual values alone
        {{0, 1, 4, 5}, {"error position", "error current"}},
    };
    for (const ErrorCase& row : cases) {
        CRecordedData data;
        uint8_t vector = 0;
        for (const uint8_t signal : row.signals) {
            data.AppendSamples(vector++, signal, std::vector<int16_t>{10, 20}, 1, "ms");
        }
        std::vector<std::string> names;
        for (const GraphCurve& curve : DeriveErrorCurves(data.Curves())) {
            names.push_back(curve.name);
        }
        EXPECT_EQ(names, row.errors) << int(row.signals[0]);
    }
}

TEST(GraphModel, ErrorCurveHasTheShorterLengthAndTheDifferences) {
    const CRecordedData data = Recording({{0, {100, 200, 300}}, {1, {90, 210}}});
    const std::vector<GraphCurve> errors = DeriveErrorCurves(data.Curves());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].values, (std::vector<double>{10, -10}));
    EXPECT_EQ(errors[0].times, (std::vector<double>{0, 1}));
    EXPECT_EQ(errors[0].timeUnit, "ms");
}

TEST(GraphModel, AxesGoByGroupAndHiddenAxesScaleToThousand) {
    const CRecordedData data = Recording({{0, {-50, 70}}, {4, {5, 9}}, {1, {0, 100}}, {14, {3}}});
    std::vector<GraphCurve> curves;
    for (const RecordedCurve& curve : data.Curves()) curves.push_back(ToGraphCurve(curve));
    const AxisAssignment axes = AssignAxes(curves);
    EXPECT_EQ(axes.axis, (std::vector<Axis>{Axis::kLeft, Axis::kRight, Axis::kLeft, Axis::kNone}));
    EXPECT_EQ(SignalUnit(*axes.leftSignal), "qc");
    EXPECT_EQ(SignalUnit(*axes.rightSignal), "mA");
    const Range left = ValueRange(curves, axes, Axis::kLeft);
    EXPECT_EQ(left.low, -50);
    EXPECT_EQ(left.high, 100);
    // The third group's curve counts for the right axis.
    EXPECT_EQ(ValueRange(curves, axes, Axis::kRight).low, 3);

    curves[1].shown = false;
    curves[3].shown = false;
    const Range hidden = ValueRange(curves, axes, Axis::kRight);
    EXPECT_EQ(hidden.low, -1000);
    EXPECT_EQ(hidden.high, 1000);
}

TEST(GraphModel, FlatCurvesAndSingleSamplesNeverGiveAnEmptyRange) {
    const CRecordedData data = Recording({{0, {500, 500, 500}}, {4, {0}}});
    std::vector<GraphCurve> curves;
    for (const RecordedCurve& curve : data.Curves()) curves.push_back(ToGraphCurve(curve));
    const AxisAssignment axes = AssignAxes(curves);
    EXPECT_GT(ValueRange(curves, axes, Axis::kLeft).Span(), 0);
    EXPECT_GT(ValueRange(curves, axes, Axis::kRight).Span(), 0);
    EXPECT_GT(TimeRange({curves[1]}).Span(), 0);
    EXPECT_TRUE(std::isfinite(ToPixel(3, Range{5, 5}, 0, 100)));
    EXPECT_TRUE(std::isfinite(FromPixel(3, Range{0, 10}, 50, 50)));
}

TEST(GraphModel, ValueTicksAreEvenInNumberWithEveryFifthLabelled) {
    struct Row {
        Range range;
        double height;
        size_t ticks;
        std::string firstLabel;
        std::string sixthLabel;
    };
    const std::vector<Row> rows = {
        {{0, 100}, 200, 11, "0.0", "50.0"},  // 10 ticks: 11 marks
        {{0, 12}, 230, 13, "0.0", "5.0"},    // 11.5 rounded up to 12
        {{-200000, 200000}, 200, 11, "-2.0e+05", "0.0e+00"},
    };
    for (const Row& row : rows) {
        const std::vector<Tick> ticks = ValueTicks(row.range, row.height);
        ASSERT_EQ(ticks.size(), row.ticks);
        EXPECT_EQ(ticks[0].label, row.firstLabel);
        EXPECT_EQ(ticks[5].label, row.sixthLabel);
        EXPECT_TRUE(ticks[1].label.empty());
    }
}

TEST(GraphModel, TimeTicksLeaveRoomForTheirLabels) {
    const std::vector<Tick> ticks = TimeTicks({0, 1000}, 500, 60, "ms");
    ASSERT_GE(ticks.size(), 2u);
    const double step = ticks[1].value - ticks[0].value;
    EXPECT_GE(step * 5 * 500 / 1000, 60);
    EXPECT_EQ(ticks[0].label, "0.000");
    EXPECT_EQ(TimeBaseText("ms"), "TimeBase: [s]");
    EXPECT_EQ(TimeBaseText("us"), "TimeBase: [ms]");
    // Polled data count samples: whole steps, labels in samples.
    const std::vector<Tick> polled = TimeTicks({0, 3}, 600, 60, "samples");
    EXPECT_EQ(polled[1].value - polled[0].value, 1);
    EXPECT_EQ(polled[0].label, "0");
}

TEST(GraphModel, StatisticsAndReadouts) {
    GraphCurve curve{"position is", 1, "ms", true, {0, 1, 2, 3}, {4, -2, 10, 0}};
    const std::optional<Statistics> stats = CurveStatistics(curve);
    ASSERT_TRUE(stats);
    EXPECT_EQ(FieldText(stats->maximum), "10.00 ");
    EXPECT_EQ(FieldText(stats->minimum), "-2.00 ");
    EXPECT_EQ(FieldText(stats->mean), "3.00 ");
    EXPECT_FALSE(CurveStatistics(GraphCurve{}));

    struct Row {
        CursorMode mode;
        double time;
        double value;
        const char* unit;
        std::string text;
    };
    const std::vector<Row> rows = {
        {CursorMode::kFree, 1500, 12.5, "ms", "Free Cursor: 1.500 s; 12.500 qc"},
        {CursorMode::kAttached, 250, -3, "us", "Attached Cursor: 0.250 ms; -3.000 qc"},
        {CursorMode::kFree, 2000, 100000, "ms", "Free Cursor: 2.0 s; 1.0e+05 qc"},
        {CursorMode::kFree, 2000, -123456, "us", "Free Cursor: 2.0 ms; -1.2e+05 qc"},
        {CursorMode::kFree, 7, 99999, "samples", "Free Cursor: 7 samples; 99999.000 qc"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CursorText(row.mode, row.time, row.value, row.unit, "qc"), row.text);
    }
    EXPECT_EQ(MeasureText(Measure::kMean, 3, "mA"), "Measure: Mean. 3.000 mA");
    EXPECT_EQ(NearestSample(curve, 1.6), 2u);
    EXPECT_EQ(NearestSample(curve, -5), 0u);
    EXPECT_EQ(NearestSample(curve, 99), 3u);
}

TEST(GraphModel, ColoursSkipBlackAndRepeatAfterEleven) {
    const std::vector<Rgb> colours = CurveColours(13);
    EXPECT_EQ(colours[0], (Rgb{255, 0, 0}));
    EXPECT_EQ(colours[1], (Rgb{1, 1, 1}));
    EXPECT_EQ(colours[10], (Rgb{204, 204, 51}));
    EXPECT_EQ(colours[11], colours[0]);
}

}  // namespace
}  // namespace kelcmd::dialogs
