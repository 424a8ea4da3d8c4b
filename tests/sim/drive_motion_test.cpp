// Point-to-point and velocity moves of the simulated drive, through real frames.
#include <cmath>

#include "drive_test_fixture.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

constexpr uint8_t kInfoFlagDone = 1 << 0;
constexpr uint8_t kInfoFlagOvershoot = 1 << 1;
constexpr uint8_t kInfoFlagTrapez = 1 << 2;
constexpr uint8_t kInfoFlagVmaxNeg = 1 << 3;
constexpr uint8_t kInfoFlagUpLimit = 1 << 4;

struct InfoReply {
    uint8_t flags;
    uint32_t duration;
};

InfoReply MoveInfo(DriveBench& bench, uint8_t code, int32_t value, uint8_t option = 0) {
    const Reply reply = bench.Do(code, Join({Int32(value), {option}}));
    EXPECT_EQ(reply.data.size(), 5u);
    if (reply.data.size() != 5) return {};
    return {reply.data[0], reply.U32(1)};
}

TEST(DriveMotion, MoveEndsAtItsTargetOnlyAfterTheProfileTime) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Profile(1, 0.5f, 0.5f, 10.0f);
    bench.Do(kMoveAbsolute, Int32(10000));
    // 10000 qc at 10 qc/ms with 10 ms ramps at each end: 1020 ms.
    drive.AdvanceTime(500ms);
    const int32_t halfway = bench.Position();
    EXPECT_GT(halfway, 4000);
    EXPECT_LT(halfway, 6000);
    EXPECT_TRUE(bench.Status() & kStatusMoving);
    drive.AdvanceTime(600ms);
    EXPECT_EQ(bench.Position(), 10000);
    EXPECT_EQ(bench.Do(kReadPosition).I32(0), 10000);
    EXPECT_FALSE(bench.Status() & kStatusMoving);
    EXPECT_EQ(bench.Do(kReadVelocityMust).F32(0), 0.0f);
}

TEST(DriveMotion, PlannedDurationFollowsTheProfile) {
    DriveBench bench;
    bench.WaitMode(2);
    // Trapezoid: D / v + v / 2a + v / 2d.
    bench.Profile(1, 1.0f, 0.25f, 10.0f);
    InfoReply info = MoveInfo(bench, kMoveAbsolute, 10000, 1);
    EXPECT_EQ(info.duration, 1000u + 5u + 20u);
    EXPECT_EQ(info.flags, kInfoFlagTrapez);
    // Triangle: the peak sqrt(D a) = 5 stays below the ceiling; 2 * 5 / 0.5 = 20 ms.
    bench.Profile(1, 0.5f, 0.5f, 10.0f);
    info = MoveInfo(bench, kMoveAbsolute, 50, 1);
    EXPECT_EQ(info.duration, 20u);
    EXPECT_EQ(info.flags, 0);
    // Towards negative positions.
    info = MoveInfo(bench, kMoveRelative, -10000, 1);
    EXPECT_EQ(info.duration, 1020u);
    EXPECT_EQ(info.flags, kInfoFlagTrapez | kInfoFlagVmaxNeg);
    // Sinusoidal ramps with the same peak acceleration last pi/2 times as long.
    bench.Profile(2, 0.5f, 0.5f, 10.0f);
    info = MoveInfo(bench, kMoveAbsolute, 10000, 1);
    EXPECT_EQ(info.duration, static_cast<uint32_t>(std::lround(1000 + 10 * M_PI)));
    // Option bit 0 only plans: nothing moved.
    EXPECT_EQ(bench.Position(), 0);
    // A move to where the axis stands is done at once.
    info = MoveInfo(bench, kMoveAbsolute, 0);
    EXPECT_EQ(info.duration, 0u);
    EXPECT_EQ(info.flags, kInfoFlagDone);
}

TEST(DriveMotion, SinusoidalMoveAlsoEndsExactlyOnTarget) {
    DriveBench bench;
    bench.Profile(2, 0.3f, 0.7f, 7.5f);
    bench.Do(kMoveAbsolute, Int32(-12345));
    EXPECT_TRUE(bench.Status() & kStatusSinus);
    bench.Drive().AdvanceTime(3s);
    EXPECT_EQ(bench.Position(), -12345);
    EXPECT_EQ(bench.Do(kReadPosition).I32(0), -12345);
}

TEST(DriveMotion, ReversingWhileMovingOvershootsAndComesBack) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(100ms);  // cruising at 10 qc/ms near 900
    const InfoReply info = MoveInfo(bench, kMoveAbsolute, 950);
    EXPECT_TRUE(info.flags & kInfoFlagOvershoot);
    drive.AdvanceTime(std::chrono::milliseconds(info.duration / 2));
    EXPECT_GT(bench.Position(), 950);  // it could not stop in time
    drive.AdvanceTime(std::chrono::milliseconds(info.duration));
    EXPECT_EQ(bench.Position(), 950);
}

TEST(DriveMotion, WaitingMoveHoldsItsAnswerUntilTheTrajectoryEnds) {
    DriveBench bench("1", 20);
    bench.WaitMode(3);
    // 2000 qc: 200 ms cruise plus the ramps, 220 ms.
    const auto held = bench.SimulatedTimeOf(
        [&] { EXPECT_TRUE(bench.Send(kMoveAbsolute, Int32(2000)).Positive(kMoveAbsolute)); });
    EXPECT_GE(held, 220ms);
    EXPECT_EQ(bench.Position(), 2000);
    EXPECT_FALSE(bench.Status() & kStatusMoving);

    // The Info variant answers after the end, so the motion is reported done.
    const InfoReply info = MoveInfo(bench, kMoveRelative, 100);
    EXPECT_TRUE(info.flags & kInfoFlagDone);
}

TEST(DriveMotion, NonWaitingMoveAnswersWhileTheAxisStillMoves) {
    DriveBench bench;
    bench.WaitMode(0);  // homing waits, trajectories do not
    bench.Do(kMoveAbsolute, Int32(100000));
    EXPECT_TRUE(bench.Status() & kStatusMoving);
    EXPECT_LT(bench.Position(), 100000);
}

// Real time: one exchange takes a few ms, far less than these moves.
TEST(DriveMotion, WaitForTargetPosHoldsOrTimesOut) {
    DriveBench bench("1", 1);
    bench.Do(kMoveAbsolute, Int32(2000));
    const auto timedOut = bench.SimulatedTimeOf([&] {
        const Reply reply = bench.Send(kWaitForTargetPos, Be32(50));
        EXPECT_EQ(reply.mtype, CMD_FAIL);
        EXPECT_EQ(reply.Warning(), WARN_TIMEOUT);
    });
    EXPECT_GE(timedOut, 50ms);
    EXPECT_EQ(bench.Warning(), WARN_TIMEOUT);
    bench.Do(kWaitForTargetPos, Be32(0));
    EXPECT_EQ(bench.Position(), 2000);
    // Standing still: answered at once.
    bench.Do(kWaitForTargetPos, Be32(1));
}

TEST(DriveMotion, WaitForPositionAnswersWhenThePositionIsPassed) {
    DriveBench bench("1", 1);
    bench.Do(kMoveAbsolute, Int32(3000));
    bench.Do(kWaitForPosition, Join({Int32(1500), Be32(0)}));
    const int32_t position = bench.Position();
    EXPECT_GE(position, 1500);
    EXPECT_LT(position, 3000);
    // A position the motion never passes: refused rather than waited for forever.
    const Reply never = bench.Send(kWaitForPosition, Join({Int32(-5), Be32(0)}));
    EXPECT_EQ(never.Warning(), WARN_UNREACHABLE);
}

TEST(DriveMotion, TargetsBeyondTheLimitsAreRefusedAndRecorded) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    drive.SetLimits(-1000, 1000);

    Reply reply = bench.Send(kMoveAbsolute, Int32(1001));
    EXPECT_EQ(reply.result, 0);
    EXPECT_EQ(reply.mtype, CMD_FAIL);
    EXPECT_EQ(reply.data, Be16(WARN_UPLIMIT));
    EXPECT_EQ(bench.Warning(), WARN_UPLIMIT);
    uint16_t status = bench.Status();
    EXPECT_TRUE(status & kStatusWarning);
    EXPECT_TRUE(status & kStatusHiLimit);
    EXPECT_FALSE(status & kStatusMoving);

    reply = bench.Send(kMoveRelative, Int32(-1001));
    EXPECT_EQ(reply.Warning(), WARN_LOLIMIT);
    EXPECT_EQ(bench.Warning(), WARN_LOLIMIT);
    EXPECT_TRUE(bench.Status() & kStatusLoLimit);
    reply = bench.Send(kInitMoveAbsolute, Int32(5000));
    EXPECT_EQ(reply.Warning(), WARN_UPLIMIT);

    bench.Do(kClearWarning);
    EXPECT_EQ(bench.Warning(), 0);
    EXPECT_FALSE(bench.Status() & (kStatusWarning | kStatusLoLimit | kStatusHiLimit));

    // The limits themselves are allowed.
    bench.Do(kMoveAbsolute, Int32(1000));
    drive.AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 1000);
    EXPECT_EQ(bench.Send(kMoveRelative, Int32(1)).Warning(), WARN_UPLIMIT);
}

TEST(DriveMotion, MovesNeedPositionRegulation) {
    DriveBench bench;
    EXPECT_EQ(bench.Status() & (kStatusCurReg | kStatusPosReg), kStatusCurReg | kStatusPosReg);
    bench.Do(kSetRegMode, {1});
    EXPECT_EQ(bench.Status() & (kStatusCurReg | kStatusPosReg), kStatusCurReg);
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(10)).Warning(), WARN_POSREFOFF);
    EXPECT_EQ(bench.Send(kSetVelocity, FloatBits(1)).Warning(), WARN_POSREFOFF);
    bench.Do(kSetRegMode, {0});
    EXPECT_EQ(bench.Status() & (kStatusCurReg | kStatusPosReg), 0);
    EXPECT_EQ(bench.Send(kMoveRelative, Int32(10)).Warning(), WARN_POSREFOFF);
    EXPECT_EQ(bench.Send(kSetRegMode, {4}).mtype, BAD_PRM);
    bench.Do(kSetRegMode, {2});
    bench.Do(kMoveAbsolute, Int32(10));
}

TEST(DriveMotion, StatusBitsFollowTheMotion) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(5ms);  // accelerating
    uint16_t status = bench.Status();
    EXPECT_TRUE(status & kStatusMoving);
    EXPECT_FALSE(status & kStatusCteVel);
    drive.AdvanceTime(500ms);  // cruising
    status = bench.Status();
    EXPECT_TRUE(status & kStatusMoving);
    EXPECT_TRUE(status & kStatusCteVel);
    EXPECT_FALSE(status & kStatusVelMode);
    EXPECT_FALSE(status & kStatusSinus);
    drive.AdvanceTime(1s);
    status = bench.Status();
    EXPECT_FALSE(status & (kStatusMoving | kStatusCteVel | kStatusError | kStatusWarning));
}

TEST(DriveMotion, VelocityModeRunsUntilItBrakesAtTheLimit) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    drive.SetLimits(-5000, 5000);
    const Reply reply = bench.Do(kSetVelocity, Join({FloatBits(10), {0}}));
    ASSERT_EQ(reply.data.size(), 5u);
    EXPECT_EQ(reply.U32(1), 20u);  // time to reach the velocity
    EXPECT_TRUE(reply.data[0] & kInfoFlagUpLimit);
    drive.AdvanceTime(100ms);
    EXPECT_TRUE(bench.Status() & kStatusVelMode);
    EXPECT_FLOAT_EQ(bench.Do(kReadVelocityMust).F32(0), 10.0f);
    // Refused: a velocity move has no target to wait for.
    EXPECT_EQ(bench.Send(kWaitForTargetPos, Be32(0)).Warning(), WARN_NOMOVE);
    drive.AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 5000);
    const uint16_t status = bench.Status();
    EXPECT_FALSE(status & (kStatusMoving | kStatusVelMode));
    EXPECT_TRUE(status & kStatusHiLimit);
}

TEST(DriveMotion, StopMotionAbruptlyOrWithTheDeceleration) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(300ms);
    const int32_t here = bench.Position();
    bench.Do(kStopMotion, {0});
    drive.AdvanceTime(100ms);
    EXPECT_EQ(bench.Position(), here);
    EXPECT_FALSE(bench.Status() & kStatusMoving);

    bench.Do(kMoveAbsolute, Int32(-10000));
    drive.AdvanceTime(300ms);
    const int32_t before = bench.Position();
    bench.Do(kStopMotion, {1});
    drive.AdvanceTime(100ms);
    // Braking from 10 qc/ms at 0.5 qc/ms^2 takes 100 qc.
    EXPECT_NEAR(bench.Position(), before - 100, 1);
    EXPECT_EQ(bench.Send(kStopMotion, {2}).mtype, BAD_PRM);
}

TEST(DriveMotion, HaltAndBrakeSetTheirErrorAndBlockMovesUntilCleared) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(100ms);
    bench.Do(kHaltFunction);
    const int32_t stopped = bench.Position();
    drive.AdvanceTime(100ms);
    EXPECT_EQ(bench.Position(), stopped);
    EXPECT_EQ(bench.Error(), 42);
    EXPECT_TRUE(bench.Status() & kStatusError);
    EXPECT_EQ(bench.Send(kMoveAbsolute, Int32(0)).Warning(), WARN_ERROR);
    EXPECT_EQ(
        bench.Send(kFindHome, Join({{2}, Be16(200), FloatBits(10), Int32(0), Be32(0)})).Warning(),
        WARN_ERROR);
    bench.Do(kClearError);
    EXPECT_EQ(bench.Error(), 0);
    bench.Do(kMoveAbsolute, Int32(0));

    bench.Do(kBrakeFunction);
    EXPECT_EQ(bench.Error(), 43);
}

TEST(DriveMotion, RelativeMovesAddToTheTargetOfAMoveUnderWay) {
    DriveBench bench;
    bench.Do(kMoveRelative, Int32(1000));
    bench.Do(kMoveRelative, Int32(1000));
    bench.Drive().AdvanceTime(2s);
    EXPECT_EQ(bench.Position(), 2000);
}

TEST(DriveMotion, DefinePositionShiftsThePositionFrame) {
    DriveBench bench;
    bench.Do(kDefinePosition, Int32(5000));
    EXPECT_EQ(bench.Position(), 5000);
    bench.Do(kMoveRelative, Int32(-200));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 4800);
}

TEST(DriveMotion, ProfileIsReadBackAsSet) {
    DriveBench bench;
    bench.Profile(2, 0.25f, 0.75f, 12.5f);
    const Reply reply = bench.Do(kReadProfile);
    EXPECT_EQ(reply.data, Join({{2}, FloatBits(0.25f), FloatBits(0.75f), FloatBits(12.5f)}));
    EXPECT_EQ(bench.Send(kSetProfile, Join({{3}, FloatBits(1), FloatBits(1)})).mtype, BAD_PRM);
    EXPECT_EQ(bench.Send(kSetProfile, Join({{1}, FloatBits(0), FloatBits(1)})).Warning(),
              WARN_RANGE);
    EXPECT_EQ(bench.Send(kSetPosVelocity, Be16(1)).mtype, BAD_LEN);
}

}  // namespace
}  // namespace kelcmd::sim::testing
