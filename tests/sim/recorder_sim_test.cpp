// The simulated recorder: sampling at the set interval, automatic start, and the unit's number
// formatting on its serial line.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/recorder/sim_recorder.h"
#include "sim/recorder/sim_serial_channel.h"
#include "sim/sim_clock.h"

namespace kelcmd::sim {
namespace {

using std::chrono::microseconds;

TEST(SimRecorder, SamplesTheSourceAtTheSetIntervalAsTimePasses) {
    SimClock clock(1000.0);  // 1 ms of real time is a second of the unit's
    SimRecorder recorder(clock);
    recorder.SetCapacity(8);
    recorder.SetSource(std::make_shared<FunctionSource>([](int signal, microseconds time) {
        return signal == 2 ? 0.5 : static_cast<double>(time.count() / 1000);
    }));
    ASSERT_TRUE(recorder.Setup(2, 1, false));  // 2 ms, position & velocity
    EXPECT_FALSE(recorder.Setup(1, 7, false));
    EXPECT_FALSE(recorder.Start(2));
    const microseconds before = clock.Now();
    ASSERT_TRUE(recorder.Start(0));
    const microseconds after = clock.Now();
    while (!recorder.GetProgress().terminated) {
    }
    const SimRecorder::Progress progress = recorder.GetProgress();
    EXPECT_EQ(progress.samples, 8);
    EXPECT_EQ(progress.periodUs, 2000u);

    const auto position = recorder.Read(1, 0, 8);
    ASSERT_TRUE(position);
    EXPECT_EQ(position->signal, 1);
    EXPECT_EQ(position->samples[3] - position->samples[0], 6);  // 3 periods of 2 ms
    // The first sample is taken when the recording starts.
    EXPECT_GE(position->samples[0], before.count() / 1000);
    EXPECT_LE(position->samples[0], after.count() / 1000);
    const auto velocity = recorder.Read(2, 6, 2);
    ASSERT_TRUE(velocity);
    EXPECT_EQ(velocity->samples, (std::vector<int16_t>{16, 16}));  // 0.5 qc/ms in 1/32
    EXPECT_FALSE(recorder.Read(0, 7, 2));                          // beyond the recording
    EXPECT_FALSE(recorder.Read(4, 0, 1));                          // no such vector
    EXPECT_FALSE(recorder.Read(0, 0, 512));                        // more than one answer carries
}

TEST(SimRecorder, StartsWithAMovementOnlyWhenAutoRecordIsSet) {
    SimClock clock;
    SimRecorder recorder(clock);
    ASSERT_TRUE(recorder.Setup(0, 2, false));
    recorder.NotifyMovement();
    EXPECT_EQ(recorder.GetProgress().samples, 0);
    EXPECT_EQ(recorder.GetProgress().periodUs, 65536000u);  // period 0 stands for 65536 ms
    ASSERT_TRUE(recorder.Setup(1, 2, true));
    recorder.NotifyMovement();
    EXPECT_EQ(recorder.GetProgress().samples, 1);
    EXPECT_EQ(recorder.Signals(), (std::array<uint8_t, 4>{0, 1, 4, 5}));
}

TEST(SimRecorder, SamplesSaturateAndVelocitiesAreFixedPoint) {
    EXPECT_EQ(RecordedSample(3, 1.0), 32);
    EXPECT_EQ(RecordedSample(8, -2000.0), -32768);
    EXPECT_EQ(RecordedSample(1, 1e9), 32767);
    EXPECT_EQ(RecordedSample(5, std::nan("")), 0);
}

TEST(SimSerialChannel, FormatsNumbersAsTheUnitPrintsThem) {
    EXPECT_EQ(FormatSerialNumber(0x12, 42, 5), "   42");
    EXPECT_EQ(FormatSerialNumber(0x13, 0xFFFF, 1), "-1");
    EXPECT_EQ(FormatSerialNumber(0x24, 0xBEEF, 6), "00BEEF");
    EXPECT_EQ(FormatSerialNumber(0x32, 5, 8), "00000101");
    EXPECT_EQ(FormatSerialNumber(0x30, 0, 0), "0");
    EXPECT_FALSE(FormatSerialNumber(0x16, 0, 1));
    EXPECT_EQ(FormatSerialFloat(-1.25f, 'e', 1, 2), "-1.25e+00");
    EXPECT_FALSE(FormatSerialFloat(1.0f, 'n', 3, 1));  // never a pointer-writing conversion
    EXPECT_EQ(FormatSerialFloat(1e38f, 'f', 255, 255)->size(), 294u);  // whole, not cut
}

}  // namespace
}  // namespace kelcmd::sim
