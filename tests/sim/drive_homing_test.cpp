// Home and index searches of the simulated drive.
#include "drive_test_fixture.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

Bytes FindHomeEx(uint8_t type, uint16_t current, float velocity, int32_t offset, uint32_t timeout,
                 int32_t homePosition) {
    return Join({{type},
                 Be16(current),
                 FloatBits(velocity),
                 Int32(offset),
                 Be32(timeout),
                 Int32(homePosition)});
}

TEST(DriveHoming, ReferenceSwitchSearchDefinesTheHomePosition) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    drive.SetHomeSwitchPosition(3000);
    bench.WaitMode(2);
    bench.Do(kFindHome, FindHomeEx(2, 200, 10, 100, 0, 500));
    EXPECT_TRUE(bench.Status() & kStatusCmdActive);
    EXPECT_FALSE(bench.Status() & kStatusReferenced);
    drive.AdvanceTime(1s);
    // The switch plus the offset became position 500.
    EXPECT_EQ(bench.Position(), 500);
    const uint16_t status = bench.Status();
    EXPECT_TRUE(status & kStatusReferenced);
    EXPECT_TRUE(status & kStatusHome);
    EXPECT_FALSE(status & (kStatusMoving | kStatusCmdActive | kStatusError));
    // The switch itself is 100 qc before the home position.
    bench.Do(kMoveAbsolute, Int32(400));
    drive.AdvanceTime(1s);
    EXPECT_EQ(drive.Position(), 400);
    EXPECT_FALSE(bench.Status() & kStatusHome);
    EXPECT_TRUE(bench.Status() & kStatusReferenced);
}

TEST(DriveHoming, EveryProcedureEndsReferencedAtItsHomePosition) {
    for (uint8_t type = 1; type <= 9; ++type) {
        DriveBench bench;
        bench.WaitMode(2);
        MachineLayout machine;
        machine.homeSwitch = 1200;
        machine.leftSwitch = -3000;
        machine.rightSwitch = 3000;
        machine.leftStop = -3300;
        machine.rightStop = 3300;
        bench.Drive().SetMachine(machine);
        bench.Do(kFindHome, FindHomeEx(type, 200, -5, 0, 0, -77));
        bench.Drive().AdvanceTime(5s);
        EXPECT_EQ(bench.Position(), -77) << int(type);
        EXPECT_TRUE(bench.Status() & kStatusReferenced) << int(type);
        EXPECT_EQ(bench.Error(), 0) << int(type);
    }
}

TEST(DriveHoming, FindHomeWithoutTheHomePositionMakesTheReferenceZero) {
    DriveBench bench;
    bench.WaitMode(2);
    bench.Drive().SetHomeSwitchPosition(-700);
    bench.Do(kDefinePosition, Int32(9999));
    bench.Do(kFindHome, Join({{2}, Be16(200), FloatBits(10), Int32(0), Be32(0)}));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 0);
}

TEST(DriveHoming, WaitingHomingHoldsItsAnswerUntilTheReferenceIsFound) {
    DriveBench bench("1", 20);
    bench.Drive().SetHomeSwitchPosition(2000);
    // The default wait mode 0: homing waits. 2000 qc at 10 qc/ms: 220 ms.
    const auto held = bench.SimulatedTimeOf([&] {
        EXPECT_TRUE(bench.Send(kFindHome, FindHomeEx(2, 200, 10, 0, 0, 0)).Positive(kFindHome));
    });
    EXPECT_GE(held, 220ms);
    EXPECT_TRUE(bench.Status() & kStatusReferenced);
}

TEST(DriveHoming, SearchThatTakesTooLongFailsWithTheHomeError) {
    DriveBench bench("1", 20);
    bench.Drive().SetHomeSwitchPosition(50000);
    const Reply reply = bench.Send(kFindHome, FindHomeEx(2, 200, 10, 0, 100, 0));
    EXPECT_EQ(reply.mtype, CMD_FAIL);
    EXPECT_EQ(reply.Warning(), WARN_TIMEOUT);
    EXPECT_EQ(bench.Error(), kErrorHome);
    EXPECT_FALSE(bench.Status() & (kStatusReferenced | kStatusMoving));
}

TEST(DriveHoming, CurrentThresholdAboveTheStallCurrentIsNeverReached) {
    DriveBench bench;
    bench.WaitMode(2);
    MachineLayout machine;
    machine.rightStop = 800;
    machine.stallCurrent = 1500;
    bench.Drive().SetMachine(machine);
    bench.Do(kFindHome, FindHomeEx(8, 2000, 10, 0, 0, 0));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Error(), kErrorHome);
    EXPECT_FALSE(bench.Status() & kStatusReferenced);
}

TEST(DriveHoming, IndexSearchesMeasureTheIndexDistance) {
    DriveBench bench;
    bench.WaitMode(2);
    MachineLayout machine;
    machine.indexPeriod = 4000;
    machine.indexPhase = 500;
    machine.homeSwitch = 1000;
    bench.Drive().SetMachine(machine);
    bench.Do(kFindIndex, Join({FloatBits(5), Be32(0)}));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 500);
    EXPECT_EQ(bench.Do(kReadIndexDistance).I32(0), 500);
    // Switch at 1000, then the next index in the direction of travel at 4500.
    bench.Do(kFindHome, FindHomeEx(3, 200, 10, 0, 0, 0));
    bench.Drive().AdvanceTime(2s);
    EXPECT_EQ(bench.Do(kReadIndexDistance).I32(0), 3500);
    EXPECT_EQ(bench.Send(kFindIndex, Join({FloatBits(0), Be32(0)})).Warning(), WARN_RANGE);
}

TEST(DriveHoming, SystemHomingUsesTheStoredProcedure) {
    DriveBench bench;
    bench.WaitMode(2);
    HomingRequest stored;
    stored.type = 2;
    stored.velocity = -10;
    stored.homePosition = 42;
    bench.Drive().SetSystemHoming(stored);
    bench.Drive().SetHomeSwitchPosition(-300);
    bench.Do(kFindHomeSys, Be32(0));
    bench.Drive().AdvanceTime(1s);
    EXPECT_EQ(bench.Position(), 42);
    EXPECT_EQ(bench.Send(kFindHome, FindHomeEx(10, 200, 10, 0, 0, 0)).mtype, BAD_PRM);
}

}  // namespace
}  // namespace kelcmd::sim::testing
