// Reset, the multi-axes start, the miscellaneous commands and the motion info layouts of the
// simulated drive.
#include "drive_test_fixture.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

TEST(DriveUnit, EveryNewUnitIsADrive) {
    DriveBench bench("1-2");
    EXPECT_NE(bench.sim.Unit(2).ModelAs<DriveModel>(), nullptr);
    bench.Do(kReadAxisStatus, {}, 2);
}

TEST(DriveUnit, ResetSlaveIsAcknowledgedWithoutAnswerAndRestartsTheUnit) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(300));
    drive.AdvanceTime(1s);
    bench.Do(kSetOutputByte, {0x05});
    bench.Do(kHaltFunction);
    bench.Do(kSetWaitMode, {2});

    const Reply reply = bench.Send(kResetSlave, {1}, 1, 100);
    EXPECT_EQ(reply.result, 0);
    EXPECT_FALSE(reply.answered);
    EXPECT_EQ(bench.sim.bus->Counters().answersSent, 4u);  // the four commands before

    EXPECT_EQ(bench.Error(), 0);
    EXPECT_EQ(bench.Position(), 0);
    EXPECT_EQ(drive.Outputs(), 0);
    EXPECT_EQ(drive.WaitMode(), 0);
    EXPECT_EQ(bench.Do(kReadSysTime).U32(0), 0u);
}

TEST(DriveUnit, StartMovementToAGroupStartsEveryMember) {
    DriveBench bench("1-3");
    ASSERT_TRUE(bench.sim.Unit(1).AddGroup(130));
    ASSERT_TRUE(bench.sim.Unit(2).AddGroup(130));
    bench.Do(kInitMoveAbsolute, Int32(1000), 1);
    bench.Do(kInitMoveRelative, Int32(-2000), 2);
    bench.Do(kInitMoveAbsolute, Int32(3000), 3);
    EXPECT_FALSE(bench.Status(1) & kStatusMoving);  // prepared, not started

    const Reply group = bench.Send(kStartMovement, {}, 130);
    EXPECT_EQ(group.result, 0);
    EXPECT_FALSE(group.answered);
    EXPECT_TRUE(bench.Status(1) & kStatusMoving);
    EXPECT_TRUE(bench.Status(2) & kStatusMoving);
    EXPECT_FALSE(bench.Status(3) & kStatusMoving);
    for (uint8_t unit = 1; unit <= 3; ++unit) bench.Drive(unit).AdvanceTime(1s);
    EXPECT_EQ(bench.Position(1), 1000);
    EXPECT_EQ(bench.Position(2), -2000);
    EXPECT_EQ(bench.Position(3), 0);

    // Each prepared motion starts once.
    EXPECT_EQ(bench.Send(kStartMovement, {}, 1).Warning(), WARN_NOMOVE);
    bench.Do(kStartMovement, {}, 3);
    bench.Drive(3).AdvanceTime(1s);
    EXPECT_EQ(bench.Position(3), 3000);
}

TEST(DriveUnit, PreparedInfoReportsThePlanWithoutMoving) {
    DriveBench bench;
    const Reply reply = bench.Do(kInitMoveAbsolute, Join({Int32(10000), {0}}));
    ASSERT_EQ(reply.data.size(), 5u);
    EXPECT_EQ(reply.data[0], 1 << 2);  // Trapez, not Done
    EXPECT_EQ(reply.U32(1), 1020u);
    EXPECT_EQ(bench.Position(), 0);
    const Reply velocity = bench.Do(kInitSetVelocity, Join({FloatBits(-4), {0}}));
    EXPECT_EQ(velocity.data[0], 1 << 3);  // VmaxNeg
    bench.Do(kStartMovement);
    bench.Drive().AdvanceTime(100ms);
    EXPECT_TRUE(bench.Status() & kStatusVelMode);
    EXPECT_FLOAT_EQ(bench.Do(kReadVelocityMust).F32(0), -4.0f);
}

TEST(DriveUnit, SystemTimeAndTimedWaitRunInSimulatedTime) {
    DriveBench bench("1", 20);
    const uint32_t before = bench.Do(kReadSysTime).U32(0);
    const auto waited = bench.SimulatedTimeOf([&] { bench.Do(kWaitTime, Be32(400)); });
    EXPECT_GE(waited, 400ms);
    EXPECT_GE(bench.Do(kReadSysTime).U32(0) - before, 400u);
}

TEST(DriveUnit, CurrentModeTakesTheCurrentSetting) {
    DriveBench bench;
    EXPECT_EQ(bench.Send(kSetCurrent, Be16(300)).Warning(), WARN_CURREGOFF);
    bench.Do(kSetRegMode, {1});
    bench.Do(kSetCurrent, Be16(static_cast<uint16_t>(-250)));
    EXPECT_EQ(bench.Do(kReadCurrentMust).I16(0), -250);
    EXPECT_EQ(bench.Do(kReadCurrentIsMust).data, Join({Be16(0xFF06), Be16(0xFF06)}));
}

TEST(DriveUnit, PowerStageStatusAndStackLevel) {
    DriveBench bench;
    bench.Drive().SetPowerStage(0x80, 41);
    EXPECT_EQ(bench.Do(kReadEcStatus).data, (Bytes{0x80, 41}));
    EXPECT_EQ(bench.Do(kReadMaxStack).data.size(), 2u);
}

TEST(DriveUnit, MotionInfoAnswersHaveTheirLayouts) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    const std::pair<uint8_t, size_t> sizes[] = {
        {kReadPosition, 4},       {kReadPositionMust, 4},   {kReadPositionIsMust, 8},
        {kReadVelocity, 4},       {kReadVelocityMean, 4},   {kReadVelocityMust, 4},
        {kReadVelocityIsMust, 8}, {kReadCurrent, 2},        {kReadCurrentMean, 2},
        {kReadCurrentMust, 2},    {kReadCurrentIsMust, 4},  {kReadPosVelCur, 10},
        {kReadPosVelCurMean, 10}, {kReadPosVelCurMust, 10}, {kReadPosVelCurIsMust, 20},
        {kReadAxisInfo, 14},
    };
    for (const auto& [code, size] : sizes) EXPECT_EQ(bench.Do(code).data.size(), size) << int(code);
    EXPECT_EQ(bench.Send(kReadPosition, {0}).mtype, BAD_LEN);

    // Cruising at 10 qc/ms: the measured position trails the commanded one a little.
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(500ms);
    drive.SetInput(2, true);
    const Reply both = bench.Do(kReadPosVelCurIsMust);
    const int32_t is = both.I32(0);
    const int32_t must = both.I32(10);
    EXPECT_LT(is, must);
    EXPECT_GT(is, must - 20);
    EXPECT_FLOAT_EQ(both.F32(14), 10.0f);
    EXPECT_GT(both.I16(18), 0);  // friction while moving

    const Reply info = bench.Do(kReadAxisInfo);
    EXPECT_EQ(info.U16(0), bench.Status());
    EXPECT_TRUE(info.U16(0) & kStatusMoving);
    EXPECT_EQ(info.data[2], 0x02);  // user input 2
    EXPECT_EQ(info.data[3], 0x01);  // ENABLE
    EXPECT_EQ(info.I32(4), is);
    EXPECT_FLOAT_EQ(info.F32(8), 10.0f);
    // The same state gives the same answer: no noise.
    EXPECT_EQ(bench.Do(kReadAxisInfo).data, info.data);
}

}  // namespace
}  // namespace kelcmd::sim::testing
