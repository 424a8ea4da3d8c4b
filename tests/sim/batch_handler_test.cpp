#include "sim/batch/batch_handler.h"

#include <gtest/gtest.h>

#include "sim/batch/member_sizes.h"
#include "sim/sim_clock.h"
#include "sim/sim_unit.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

using Bytes = std::vector<uint8_t>;

// A unit that executes batches, with ReadPosition (48) answering 4 bytes, MoveAbsolute (36)
// remembering its data, and SetRegMode (32) refusing regmode 9.
struct BatchUnit {
    BatchUnit() : unit(1, clock) {
        InstallBatchHandler(unit);
        unit.SetHandler(48, [](SimUnit&, std::span<const uint8_t>) {
            return PositiveAnswer(48, {0x00, 0x00, 0x13, 0x88});
        });
        unit.SetHandler(36, [this](SimUnit&, std::span<const uint8_t> data) {
            moves.emplace_back(data.begin(), data.end());
            return PositiveAnswer(36);
        });
        unit.SetHandler(32, [](SimUnit&, std::span<const uint8_t> data) {
            return data[0] == 9 ? RefusalAnswer(BAD_PRM, WARN_RANGE) : PositiveAnswer(32);
        });
    }
    SimClock clock;
    SimUnit unit;
    std::vector<Bytes> moves;
};

TEST(BatchHandlerTest, MembersRunInOrderAndTheAnswerCarriesTheirResults) {
    BatchUnit target;
    const SimAnswer answer = target.unit.RunCommand(5, Bytes{48, 36, 0, 0, 3, 0xE8, 32, 2, 48});
    EXPECT_EQ(answer.mtype, 5);
    EXPECT_EQ(answer.data, (Bytes{48, 0, 0, 0x13, 0x88, 36, 32, 48, 0, 0, 0x13, 0x88}));
    EXPECT_EQ(target.moves, (std::vector<Bytes>{{0, 0, 3, 0xE8}}));
}

TEST(BatchHandlerTest, ACodeSharedByTwoCommandsTakesTheSizeThatLetsTheRestSplit) {
    // MoveAbsoluteInfo (5 bytes) followed by ReadPosition, then MoveAbsolute (4 bytes) at the end.
    const Bytes data{36, 1, 2, 3, 4, 5, 48, 36, 6, 7, 8, 9};
    const BatchSplit split = SplitBatch(data);
    ASSERT_FALSE(split.stopCode);
    ASSERT_EQ(split.members.size(), 3u);
    EXPECT_EQ(split.members[0].data.size(), 5u);
    EXPECT_EQ(split.members[2].data.size(), 4u);
}

TEST(BatchHandlerTest, ARefusedMemberStopsTheBatchWithItsRecord) {
    BatchUnit target;
    const SimAnswer answer = target.unit.RunCommand(5, Bytes{48, 32, 9, 36, 0, 0, 0, 1});
    EXPECT_EQ(answer.mtype, BATCH_FAIL);
    EXPECT_EQ(answer.data, (Bytes{48, 0, 0, 0x13, 0x88, 32, 0, 130}));
    EXPECT_TRUE(target.moves.empty());
}

TEST(BatchHandlerTest, UnknownCodesAndCutMembersStopTheBatch) {
    BatchUnit target;
    EXPECT_EQ(target.unit.RunCommand(5, Bytes{48, 5, 48}).data,
              (Bytes{48, 0, 0, 0x13, 0x88, 5, 0, 100}));
    const SimAnswer cut = target.unit.RunCommand(5, Bytes{48, 36, 1, 2});
    EXPECT_EQ(cut.mtype, BATCH_FAIL);
    EXPECT_EQ(cut.data, (Bytes{48, 0, 0, 0x13, 0x88, 36, 0, 110}));
}

TEST(BatchHandlerTest, AQuietBatchRunsWhenSentAndItsResultsAreReadLater) {
    BatchUnit target;
    EXPECT_EQ(target.unit.RunCommand(4, Bytes{}).data, Bytes{});  // nothing run yet
    const SimAnswer sent = target.unit.RunCommand(4, Bytes{36, 0, 0, 0, 7, 48});
    EXPECT_EQ(sent.mtype, 4);
    EXPECT_TRUE(sent.data.empty());
    EXPECT_EQ(target.moves.size(), 1u);
    const SimAnswer read = target.unit.RunCommand(4, Bytes{});
    EXPECT_EQ(read.mtype, 4);
    EXPECT_EQ(read.data, (Bytes{36, 48, 0, 0, 0x13, 0x88}));
    EXPECT_EQ(target.moves.size(), 1u);  // reading runs nothing
}

}  // namespace
}  // namespace kelcmd::sim
