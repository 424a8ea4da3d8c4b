// Batches of every family's commands on a full simulated unit: where each member ends, and what
// the members do to each other.
#include "drive_test_fixture.h"
#include "sim/batch/member_sizes.h"
#include "sim/recorder/recorder_peripherals.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

constexpr uint8_t kBatch = 5;

std::vector<std::pair<uint8_t, size_t>> Members(const Bytes& data) {
    const BatchSplit split = SplitBatch(data);
    EXPECT_FALSE(split.stopCode);
    std::vector<std::pair<uint8_t, size_t>> members;
    for (const BatchMember& member : split.members)
        members.emplace_back(member.code, member.data.size());
    return members;
}

TEST(BatchMembers, SubFunctionsAndParameterNumbersDecideTheSize) {
    const Bytes data = Join({
        {0x4D, 0x16},
        FloatBits(1.5f),
        {'f', 3, 1},         // PutFloat_Dec
        {0x4D, 0x30, 5, 8},  // PutByte_Bin
        {0x4D, 0x14},
        Be32(7),
        {2},  // PutLWord_Dec
        {0x12, 21},
        Int32(500),      // SetTempParam of an LInt
        {0x12, 1, 7},    // ... of a Byte
        {0x16, 0},       // ReadAllTempParamEx
        {0x16},          // ReadAllTempParamShort
        {0x4B, 1, 'x'},  // PutChar
        {0x68},
        Be16(1),
        {1, 1},
        {0x6B, 0},
        Be16(0),
        Be16(10),
        {0x60, 1, 2, 3, 4},
        {0x67, 0, 9, 1},
    });
    EXPECT_EQ(Members(data), (std::vector<std::pair<uint8_t, size_t>>{{0x4D, 8},
                                                                      {0x4D, 3},
                                                                      {0x4D, 6},
                                                                      {0x12, 5},
                                                                      {0x12, 2},
                                                                      {0x16, 1},
                                                                      {0x16, 0},
                                                                      {0x4B, 2},
                                                                      {0x68, 4},
                                                                      {0x6B, 5},
                                                                      {0x60, 4},
                                                                      {0x67, 3}}));
    // Members of any length take the rest of the batch, even bytes that look like members.
    EXPECT_EQ(Members(Bytes{0x10, 21, 0x72, 0x10, 21, 0x10, 22}),
              (std::vector<std::pair<uint8_t, size_t>>{{0x10, 1}, {0x72, 4}}));
    EXPECT_EQ(Members(Bytes{0x78, 1, 0x4B, 2, 0x10, 21}),
              (std::vector<std::pair<uint8_t, size_t>>{{0x78, 1}, {0x4B, 3}}));
    // A SetTempParam cut short, or of a number without a type, stops the batch.
    EXPECT_EQ(SplitBatch(Bytes{0x12, 21, 0, 0}).stopCode, 0x12);
    EXPECT_EQ(SplitBatch(Bytes{0x10, 1, 0x12}).stopCode, 0x12);
}

TEST(BatchMembers, AMoveAndAParameterReadRunTogether) {
    DriveBench bench;
    const Reply reply = bench.Do(kBatch, Join({{kMoveAbsolute}, Int32(1000), {0x10, 21}}));
    EXPECT_EQ(reply.data, Join({{kMoveAbsolute, 0x10, 21}, Int32(100000)}));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 1000);
}

TEST(BatchMembers, AMemberAfterAWaitSeesTheMoveDone) {
    DriveBench bench("1", 1000);  // the wait's hold passes quickly
    const Reply reply = bench.Do(kBatch, Join({{kMoveAbsolute},
                                               Int32(1000),
                                               {drive::kWaitForTargetPos},
                                               Int32(0),
                                               {drive::kReadPositionMust}}));
    EXPECT_EQ(reply.data, Join({{kMoveAbsolute, drive::kWaitForTargetPos, drive::kReadPositionMust},
                                Int32(1000)}));
}

TEST(BatchMembers, ALimitSetInTheBatchRefusesTheMoveAfterIt) {
    DriveBench bench;
    const Reply reply = bench.Send(kBatch, Join({{0x12, 21},
                                                 Int32(500),
                                                 {0x12, 22},
                                                 Be16(1),
                                                 {kMoveAbsolute},
                                                 Int32(501),
                                                 {0x10, 21}}));
    EXPECT_EQ(reply.mtype, BATCH_FAIL);
    EXPECT_EQ(reply.data, Join({{0x12, 0x12, kMoveAbsolute}, Be16(WARN_UPLIMIT)}));
    EXPECT_EQ(bench.Warning(), WARN_UPLIMIT);
}

TEST(BatchMembers, RecorderAndSerialLineMembersRunWithTheMotion) {
    DriveBench bench;
    const Reply reply = bench.Do(kBatch, Join({{0x68},
                                               Be16(1),
                                               {1, 1},
                                               {0x4D, 0x12},
                                               Be16(42),
                                               {5},
                                               {kMoveRelative},
                                               Int32(100),
                                               {0x6A},
                                               {0x4B, 2, 'o', 'k'}}));
    // The move started the recording: one sample so far, every millisecond.
    EXPECT_EQ(reply.data,
              Join({{0x68, 0x4D, kMoveRelative, 0x6A, 0}, Be16(1), Be32(1000), {0x4B}}));
    EXPECT_EQ(PeripheralsOf(bench.sim.Unit(1))->serial.Output(), "   42ok");
}

}  // namespace
}  // namespace kelcmd::sim::testing
