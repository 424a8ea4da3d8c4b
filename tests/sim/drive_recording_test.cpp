// A unit's recorder samples its drive: recordings made during a move show the move.
#include <algorithm>

#include "drive_test_fixture.h"
#include "sim/recorder/recorder_peripherals.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

constexpr uint8_t kSetupRecorder = 0x68;
constexpr uint8_t kRecordData = 0x69;
constexpr uint8_t kReadNbOfSamples = 0x6A;
constexpr uint8_t kReadRecordedData = 0x6B;

struct Progress {
    bool terminated;
    uint16_t samples;
};

Progress ReadProgress(DriveBench& bench) {
    const Reply reply = bench.Do(kReadNbOfSamples);
    return {reply.data.at(0) != 0, reply.U16(1)};
}

// Samples [first, first + count) of a vector, read through frames in pieces as a host does.
std::vector<int16_t> ReadVector(DriveBench& bench, uint8_t vector, uint16_t count) {
    std::vector<int16_t> samples;
    while (samples.size() < count) {
        const auto first = static_cast<uint16_t>(samples.size());
        const auto piece = static_cast<uint16_t>(std::min<size_t>(count - first, 500));
        const Reply reply = bench.Do(kReadRecordedData, Join({{vector}, Be16(first), Be16(piece)}));
        for (size_t i = 0; i < piece; ++i) samples.push_back(reply.I16(1 + 2 * i));
    }
    return samples;
}

TEST(DriveRecording, AnAutomaticRecordingStartsWithTheMoveAndShowsIt) {
    DriveBench bench;
    bench.Profile(1, 1.0f, 1.0f, 20.0f);
    // Every 2 ms, position & velocity, started by the next movement.
    bench.Do(kSetupRecorder, Join({Be16(2), {1}, {1}}));
    bench.Drive().AdvanceTime(5s);  // nothing is recorded while the axis stands
    // Only asking for the plan is no movement.
    bench.Do(kMoveAbsolute, Join({Int32(1000), {1}}));
    EXPECT_EQ(ReadProgress(bench).samples, 0);

    bench.Do(kMoveAbsolute, Int32(1000));
    bench.Drive().AdvanceTime(1s);
    EXPECT_FALSE(ReadProgress(bench).terminated);
    bench.Drive().AdvanceTime(1s);
    const Progress done = ReadProgress(bench);
    ASSERT_TRUE(done.terminated);
    ASSERT_EQ(done.samples, SimRecorder::kDefaultCapacity);

    const std::vector<int16_t> position = ReadVector(bench, 0, done.samples);
    EXPECT_EQ(position.front(), 0);
    EXPECT_TRUE(std::is_sorted(position.begin(), position.end()));
    EXPECT_EQ(position.back(), 1000);
    // The move takes about 70 ms: sample 10 (20 ms) is on the way, sample 50 (100 ms) there.
    EXPECT_GT(position[10], 0);
    EXPECT_LT(position[10], 1000);
    EXPECT_EQ(position[50], 1000);
    const std::vector<int16_t> velocity = ReadVector(bench, 2, 100);
    EXPECT_EQ(*std::max_element(velocity.begin(), velocity.end()), 20 * 32);  // qc/ms in 1/32
    EXPECT_EQ(velocity.back(), 0);
}

TEST(DriveRecording, WithoutAutoRecordOnlyRecordDataStartsAndTheMoveStillShows) {
    DriveBench bench;
    bench.Do(kSetupRecorder, Join({Be16(1), {2}, {0}}));  // position & current, no auto-record
    bench.Do(kMoveAbsolute, Int32(-500));
    EXPECT_EQ(ReadProgress(bench).samples, 0);
    bench.Drive().AdvanceTime(1s);

    bench.Do(kRecordData, {0});
    bench.Do(kMoveAbsolute, Int32(500));
    bench.Drive().AdvanceTime(2s);
    ASSERT_TRUE(ReadProgress(bench).terminated);
    const std::vector<int16_t> position = ReadVector(bench, 0, 1000);
    EXPECT_EQ(position.front(), -500);
    EXPECT_EQ(position.back(), 500);
    // The motor current rises while the axis accelerates.
    const std::vector<int16_t> current = ReadVector(bench, 2, 50);
    EXPECT_GT(*std::max_element(current.begin(), current.end()), 0);
}

TEST(DriveRecording, AHomeSearchAndABatchedMoveStartTheRecordingToo) {
    DriveBench bench;
    bench.Do(kSetupRecorder, Join({Be16(1), {1}, {1}}));
    bench.Drive().SetHomeSwitchPosition(400);
    bench.WaitMode(2);
    bench.Do(kFindHomeSys, Be32(0));
    EXPECT_EQ(ReadProgress(bench).samples, 1);

    bench.Drive().AdvanceTime(5s);
    ASSERT_TRUE(ReadProgress(bench).terminated);
    // A move inside a batch is a movement like any other.
    bench.Do(5, Join({{kMoveRelative}, Int32(100)}));
    EXPECT_EQ(ReadProgress(bench).samples, 1);
}

TEST(DriveRecording, ASourceOutlivingItsDriveReadsAUnitAtRest) {
    // Both die with their unit, in no fixed order.
    auto drive = std::make_unique<DriveModel>();
    const std::shared_ptr<const SampleSource> source = drive->SampleSourceView();
    drive.reset();
    EXPECT_EQ(source->Signal(0, 5ms), 0.0);
}

}  // namespace
}  // namespace kelcmd::sim::testing
