// The recorder commands on the wire, and whole recordings read in pieces into a data set.
#include "api/recorder_family.h"

#include <gtest/gtest.h>

#include <numeric>

#include "api/recording_readout.h"
#include "kelcmd/kelcmd.h"
#include "recorder_test_support.h"

namespace kelcmd {
namespace {

using testing::RecorderPort;
using testing::RecorderRequest;
using testing::RecorderRequests;

std::vector<int16_t> Ramp(size_t count, int16_t start) {
    std::vector<int16_t> samples(count);
    std::iota(samples.begin(), samples.end(), start);
    return samples;
}

void StoreRecording(RecorderPort& port, std::array<uint8_t, 4> signals, uint32_t periodUs,
                    size_t count) {
    port.Peripherals().recorder.Store(
        signals, periodUs, {Ramp(count, 0), Ramp(count, 1000), Ramp(count, 2000), Ramp(count, 32)});
}

TEST(RecorderFamily, ExportsPutTheirParametersOnTheWire) {
    RecorderPort port(61);
    ASSERT_EQ(port.openResult, 0);
    EXPECT_EQ(MP_SetupRecorder(port.name.c_str(), 1, 0x0104, 2, 1), 1);
    EXPECT_EQ(MP_RecordData(port.name.c_str(), 1, 1), 1);
    uint8_t signal = 0xEE;
    std::vector<int16_t> data(511, -1);
    // Nothing is recorded at that place yet: refused, and the out-arguments stay as they were.
    EXPECT_EQ(MP_ReadRecordedData(port.name.c_str(), 1, 3, 0x0201, 5, &signal, data.data()), 0);
    EXPECT_EQ(signal, 0xEE);
    EXPECT_EQ(data[0], -1);
    EXPECT_EQ(RecorderRequests(port),
              (std::vector<RecorderRequest>{{0x68, {0x01, 0x04, 0x02, 0x01}},
                                            {0x69, {0x01}},
                                            {0x6B, {0x03, 0x02, 0x01, 0x00, 0x05}}}));
    // An invalid slave sends nothing.
    EXPECT_EQ(MP_RecordData(port.name.c_str(), 0, 0), 0);
    EXPECT_EQ(RecorderRequests(port).size(), 3u);
}

TEST(RecorderFamily, ReadNbOfSamplesAndOnePieceThroughThePlainExports) {
    RecorderPort port(62);
    StoreRecording(port, {0, 1, 2, 3}, 250, 20);
    SelectSlave(1);
    uint8_t terminated = 0;
    uint16_t samples = 0;
    uint32_t period = 0;
    ASSERT_EQ(ReadNbOfSamples(&terminated, &samples, &period), 1);
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(samples, 20);
    EXPECT_EQ(period, 250u);

    uint8_t signal = 0;
    std::vector<int16_t> data(511);
    ASSERT_EQ(ReadRecordedData(1, 5, 3, &signal, data.data()), 1);
    EXPECT_EQ(signal, 1);
    EXPECT_EQ((std::vector<int16_t>(data.begin(), data.begin() + 3)),
              (std::vector<int16_t>{1005, 1006, 1007}));
}

TEST(RecorderFamily, RecordingOf511SamplesTakesOnePassOf512TwoPasses) {
    for (size_t count : {511u, 512u}) {
        RecorderPort port(63);
        StoreRecording(port, {0, 1, 2, 3}, 1000, count);
        CRecordedData data;
        ASSERT_TRUE(ReadWholeRecording(&RecordingFamily(), port.name, 1, data));
        const std::vector<RecorderRequest> requests = RecorderRequests(port);
        ASSERT_EQ(requests.size(), count == 511 ? 5u : 9u);
        EXPECT_EQ(requests[0], (RecorderRequest{0x6A, {}}));
        EXPECT_EQ(requests[4], (RecorderRequest{0x6B, {0x03, 0x00, 0x00, 0x01, 0xFF}}));
        if (count == 512) {
            EXPECT_EQ(requests[5], (RecorderRequest{0x6B, {0x00, 0x01, 0xFF, 0x00, 0x01}}));
            EXPECT_EQ(requests[8], (RecorderRequest{0x6B, {0x03, 0x01, 0xFF, 0x00, 0x01}}));
        }
        ASSERT_EQ(data.Curves().size(), 4u);
        for (const RecordedCurve& curve : data.Curves()) EXPECT_EQ(curve.points.size(), count);
        // The second pass continues the times one period after the first pass's last point.
        EXPECT_EQ(data.Curves()[1].points.back(),
                  (RecordedPoint{static_cast<int32_t>(count - 1), int16_t(1000 + count - 1)}));
    }
}

TEST(RecorderFamily, CurvesCarryNamesTimeBaseAndScaledVelocities) {
    RecorderPort port(64);
    StoreRecording(port, {1, 1, 3, 7}, 1500, 3);
    CRecordedData data;
    ASSERT_TRUE(ReadWholeRecording(&RecordingFamily(), port.name, 1, data));
    const auto& curves = data.Curves();
    ASSERT_EQ(curves.size(), 4u);
    EXPECT_EQ(curves[0].name, "position is");
    EXPECT_EQ(curves[1].name, "position is 2");
    EXPECT_EQ(curves[2].name, "velocity is");
    EXPECT_EQ(curves[3].name, "current integrator");
    for (const RecordedCurve& curve : curves) {
        EXPECT_EQ(curve.timeUnit, "ms");
        EXPECT_EQ(curve.period, 1u);  // 1500 us in whole ms
        EXPECT_EQ(curve.shown, 1);
    }
    // Vector 3 holds 32, 33, 34: a velocity of 32 would be 1.0, current integrator stays 32.
    EXPECT_EQ(curves[3].points[0], (RecordedPoint{0, int16_t{32}}));
    EXPECT_EQ(curves[2].points[2], (RecordedPoint{2, 2002 * 0.03125f}));
}

TEST(RecorderFamily, TwoPassesKeepTheNumberedNameApart) {
    RecorderPort port(65);
    StoreRecording(port, {5, 5, 5, 0}, 100, 600);
    CRecordedData data;
    ASSERT_TRUE(ReadWholeRecording(&RecordingFamily(), port.name, 1, data));
    EXPECT_EQ(data.Curves()[0].name, "current is");
    EXPECT_EQ(data.Curves()[1].name, "current is 2");
    EXPECT_EQ(data.Curves()[2].name, "current is 3");
    EXPECT_EQ(data.Curves()[0].timeUnit, "us");
}

TEST(RecorderFamily, FailingReadOrEmptyRecordingLeavesTheDataSetAlone) {
    RecorderPort port(66);
    CRecordedData data;
    data.AppendSamples(0, 0, std::vector<int16_t>{7}, 1, "ms");
    const CRecordedData before = data;
    // No recording yet: 0 samples.
    EXPECT_FALSE(ReadWholeRecording(&RecordingFamily(), port.name, 1, data));
    EXPECT_EQ(data, before);
    // The unit no longer answers ReadRecordedData.
    StoreRecording(port, {0, 1, 2, 3}, 1000, 10);
    port.Unit(1).SetHandler(CRecordingFamily::kReadRecordedData, nullptr);
    EXPECT_FALSE(ReadWholeRecording(&RecordingFamily(), port.name, 1, data));
    EXPECT_EQ(data, before);
}

TEST(RecorderFamily, TimeBaseOfTheUnitsPeriod) {
    EXPECT_EQ(TimeBaseOfMicroseconds(999).unit, "us");
    EXPECT_EQ(TimeBaseOfMicroseconds(999).period, 999u);
    EXPECT_EQ(TimeBaseOfMicroseconds(1000).unit, "ms");
    EXPECT_EQ(TimeBaseOfMicroseconds(1000).period, 1u);
    EXPECT_EQ(TimeBaseOfMicroseconds(1500).period, 1u);
}

TEST(RecorderFamily, PolledDataIsCountedInSamples) {
    const std::vector<int16_t> velocity{32, 64};
    const std::vector<int16_t> position{5, 6};
    const CRecordedData data =
        BuildPolledData(2, 2500, {{{2, velocity.data()}, {0, nullptr}, {0, position.data()}, {}}});
    ASSERT_EQ(data.Curves().size(), 2u);
    EXPECT_EQ(data.Curves()[0].vector, 0);
    EXPECT_EQ(data.Curves()[1].vector, 2);
    EXPECT_EQ(data.Curves()[0].timeUnit, "samples");
    EXPECT_EQ(data.Curves()[0].period, 2u);
    EXPECT_EQ(data.Curves()[0].points[1], (RecordedPoint{2, 2.0f}));
    EXPECT_EQ(data.Curves()[1].points[1], (RecordedPoint{2, int16_t{6}}));
    EXPECT_EQ(BuildPolledData(2, 999, {{{0, position.data()}}}).Curves()[0].period, 999u);
}

}  // namespace
}  // namespace kelcmd
