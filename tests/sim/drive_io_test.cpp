// Inputs, outputs, analog inputs and the user PWM of the simulated drive.
#include <thread>

#include "drive_test_fixture.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using namespace drive;

TEST(DriveIo, InputsSetByTheMachineAreReadBackInTheirBytes) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    drive.SetInput(3, true);
    drive.SetInput(8, true);
    drive.SetInput(kInputHome, true);
    EXPECT_EQ(bench.Do(kReadInput, {3}).data, Bytes{1});
    EXPECT_EQ(bench.Do(kReadInput, {4}).data, Bytes{0});
    EXPECT_EQ(bench.Do(kReadInput, {kInputHome}).data, Bytes{1});
    EXPECT_EQ(bench.Do(kReadInputByte, {0}).data, Bytes{0x84});
    // ENABLE (bit 0, active by default) and HOME (bit 3).
    EXPECT_EQ(bench.Do(kReadInputByte, {1}).data, Bytes{0x09});
    EXPECT_EQ(bench.Send(kReadInput, {16}).mtype, BAD_PRM);
    EXPECT_EQ(bench.Send(kReadInputByte, {2}).Warning(), WARN_RANGE);

    drive.SetInput(kInputLeft, true);
    drive.SetInput(kInputRight, true);
    EXPECT_EQ(bench.Status() & (kStatusLeft | kStatusRight), kStatusLeft | kStatusRight);
}

TEST(DriveIo, OutputsAreSetOneByOneOrAsAByte) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kSetOutput, {3, 1});
    EXPECT_TRUE(drive.Output(3));
    EXPECT_EQ(drive.Outputs(), 0x04);
    bench.Do(kSetOutput, {3, 0});
    EXPECT_FALSE(drive.Output(3));
    bench.Do(kSetOutputByte, {0x21});
    EXPECT_TRUE(drive.Output(1));
    EXPECT_TRUE(drive.Output(6));
    EXPECT_EQ(drive.Outputs(), 0x21);
    bench.Do(kSetOutputByte, {0xFF});
    EXPECT_EQ(drive.Outputs(), 0x3F);  // there are six outputs
    EXPECT_EQ(bench.Send(kSetOutput, {7, 1}).Warning(), WARN_RANGE);
    EXPECT_EQ(bench.Send(kSetOutput, {0, 1}).Warning(), WARN_RANGE);
    EXPECT_EQ(bench.Send(kSetOutput, {1}).mtype, BAD_LEN);
}

TEST(DriveIo, WaitForInputAnswersWhenTheLevelArrivesOrTimesOut) {
    DriveBench bench("1", 20);
    DriveModel& drive = bench.Drive();
    // Already there: at once.
    bench.Do(kWaitForInput, Join({{kInputEnable, 1}, Be32(0)}));

    drive.ScheduleInput(2, true, 300ms);
    const auto waited = bench.SimulatedTimeOf([&] {
        EXPECT_TRUE(bench.Send(kWaitForInput, Join({{2, 1}, Be32(0)})).Positive(kWaitForInput));
    });
    EXPECT_GE(waited, 300ms);
    EXPECT_EQ(bench.Do(kReadInput, {2}).data, Bytes{1});

    const auto timedOut = bench.SimulatedTimeOf([&] {
        const Reply reply = bench.Send(kWaitForInput, Join({{2, 0}, Be32(100)}));
        EXPECT_EQ(reply.mtype, CMD_FAIL);
        EXPECT_EQ(reply.Warning(), WARN_TIMEOUT);
    });
    EXPECT_GE(timedOut, 100ms);
    EXPECT_EQ(bench.Send(kWaitForInput, Join({{2, 2}, Be32(0)})).Warning(), WARN_RANGE);
}

TEST(DriveIo, AnalogInputsAndPwm) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    drive.SetAnalogInput(2, 0xABCD);
    EXPECT_EQ(bench.Do(kReadAnalogInput, {2}).data, Be16(0xABCD));
    EXPECT_EQ(bench.Do(kReadAnalogInput, {0}).data, Be16(0));
    EXPECT_EQ(bench.Send(kReadAnalogInput, {4}).Warning(), WARN_RANGE);
    bench.Do(kSetUserPwm, Be16(750));
    EXPECT_EQ(drive.PwmDutyCycle(), 750);
    EXPECT_EQ(bench.Send(kSetUserPwm, Be16(1001)).Warning(), WARN_RANGE);
    EXPECT_EQ(bench.Send(kSetUserPwm, Be16(0xFFFF)).Warning(), WARN_RANGE);
    EXPECT_EQ(drive.PwmDutyCycle(), 750);
}

TEST(DriveIo, StopInputHaltsTheAxisAndKeepsTheErrorWhileActive) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(10000));
    drive.AdvanceTime(200ms);
    drive.SetInput(kInputStop, true);
    const int32_t stopped = bench.Position();
    drive.AdvanceTime(200ms);
    EXPECT_EQ(bench.Position(), stopped);
    EXPECT_EQ(bench.Error(), kErrorStop);
    EXPECT_EQ(bench.Send(kClearError).Warning(), WARN_STOP);
    drive.SetInput(kInputStop, false);
    bench.Do(kClearError);
    bench.Do(kMoveAbsolute, Int32(0));
}

TEST(DriveIo, LimitSwitchStopsAMoveTowardsItAndRefusesTheNext) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kMoveAbsolute, Int32(-10000));
    drive.ScheduleInput(kInputLeft, true, 300ms);
    drive.AdvanceTime(1s);
    EXPECT_FALSE(bench.Status() & kStatusMoving);
    EXPECT_EQ(bench.Error(), kErrorLeft);
    bench.Do(kClearError);
    EXPECT_EQ(bench.Send(kMoveRelative, Int32(-10)).Warning(), WARN_LEFT);
    bench.Do(kMoveRelative, Int32(10));  // out of the switch is allowed
}

TEST(DriveIo, DigitalOverloadSwitchesTheOutputsOff) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    bench.Do(kSetOutputByte, {0x3F});
    drive.SetInput(kInputDigOvld, true);
    EXPECT_EQ(drive.Outputs(), 0);
    EXPECT_EQ(bench.Error(), kErrorDigOvld);
}

}  // namespace
}  // namespace kelcmd::sim::testing

namespace kelcmd::sim::testing {
namespace {

TEST(DriveIoThread, MachineChangesInputsWhileTheBusRunsCommands) {
    DriveBench bench;
    DriveModel& drive = bench.Drive();
    std::thread machine([&drive] {
        for (int i = 0; i < 200; ++i) {
            drive.SetInput(1, i % 2 == 0);
            drive.AdvanceTime(1ms);
            (void)drive.Status();
        }
        drive.SetInput(1, true);
    });
    for (int i = 0; i < 30; ++i) {
        const Reply reply = bench.Do(drive::kReadInputByte, {0});
        EXPECT_LE(reply.data.at(0), 1);
    }
    machine.join();
    EXPECT_EQ(bench.Do(drive::kReadInput, {1}).data, Bytes{1});
}

}  // namespace
}  // namespace kelcmd::sim::testing
