#include <gtest/gtest.h>

#include <thread>

#include "platform/system_error.h"
#include "sim/sim_device.h"
#include "sim/test_commands.h"
#include "sim_host.h"

namespace kelcmd::sim::testing {
namespace {

using std::chrono::milliseconds;
using SimDeviceTest = SimBusTest;

milliseconds Since(SteadyClock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(SteadyClock::now() - start);
}

TEST_F(SimDeviceTest, TotalTimeoutEndsAReadWithWhatArrived) {
    SimHost host("sim");
    host.bus->InjectInput({1, 2});
    const auto start = SteadyClock::now();
    EXPECT_EQ(host.Read(4, TotalTimeout(100)), (Bytes{1, 2}));
    EXPECT_GE(Since(start), milliseconds(100));
}

TEST_F(SimDeviceTest, TotalTimeoutGrowsWithTheBytesAsked) {
    SimHost host("sim");
    const auto start = SteadyClock::now();
    EXPECT_TRUE(host.Read(5, TotalTimeout(0, 0, 30)).empty());
    EXPECT_GE(Since(start), milliseconds(150));
}

TEST_F(SimDeviceTest, IntervalEndsAReadOnlyAfterTheFirstByte) {
    SimHost host("sim");
    // The interval does not limit the wait for the first byte ...
    host.bus->InjectInput({7}, milliseconds(200));
    EXPECT_EQ(host.Read(1, TotalTimeout(0, 20)), Bytes{7});
    // ... but a gap longer than it between bytes ends the read.
    host.bus->InjectInput({1, 2});
    host.bus->InjectInput({3}, milliseconds(3000));
    EXPECT_EQ(host.Read(3, TotalTimeout(0, 50)), (Bytes{1, 2}));
    EXPECT_EQ(host.Read(1, TotalTimeout(10000)), Bytes{3});
}

TEST_F(SimDeviceTest, NoTotalLimitWaitsForTheBytes) {
    SimHost host("sim");
    host.bus->InjectInput({1}, milliseconds(150));
    EXPECT_EQ(host.Read(1, TotalTimeout(0)), Bytes{1});
    host.bus->InjectInput({2}, milliseconds(150));
    EXPECT_EQ(host.Read(1, TotalTimeout(kWaitWithoutLimit, 10, 10)), Bytes{2});
}

TEST_F(SimDeviceTest, PurgeDropsArrivedInputOnly) {
    SimHost host("sim");
    host.bus->InjectInput({1, 2});
    host.bus->InjectInput({3}, milliseconds(300));
    EXPECT_TRUE(host.device->Purge());
    EXPECT_EQ(host.Read(3, TotalTimeout(5000, 2000)), Bytes{3});
}

TEST_F(SimDeviceTest, ClosedDeviceRefusesEveryOperation) {
    SimHost host("sim");
    LineSettings settings;
    settings.baud = 9600;
    settings.parity = Parity::Mark;
    ASSERT_TRUE(host.device->SetLineSettings(settings));
    LineSettings read;
    ASSERT_TRUE(host.device->GetLineSettings(read));
    EXPECT_EQ(read.baud, 9600u);
    EXPECT_EQ(read.parity, Parity::Mark);

    ASSERT_TRUE(host.device->Close());
    uint8_t byte = 0;
    size_t moved = 1;
    EXPECT_FALSE(host.device->Write(&byte, 1, moved));
    EXPECT_EQ(moved, 0u);
    EXPECT_FALSE(host.device->Read(&byte, 1, moved));
    EXPECT_FALSE(host.device->GetLineSettings(read));
    EXPECT_FALSE(host.device->SetTimeouts({}));
    EXPECT_FALSE(host.device->Purge());
    EXPECT_FALSE(host.device->WaitTransmitterEmpty());
    EXPECT_FALSE(host.device->SetupQueues(1200, 1200));
}

TEST_F(SimDeviceTest, FailedOpenRecordsAFittingReason) {
    SimHost host("sim");
    const std::pair<const char*, const char*> cases[] = {
        {"sim:x", "open sim:x: Invalid argument"},
        {"sim", "open sim: Device or resource busy"},  // the host above holds the bus
    };
    for (const auto& [device, text] : cases) {
        ClearThreadSystemError();
        EXPECT_EQ(OpenSimulatedDevice(device), nullptr) << device;
        EXPECT_EQ(DescribeSystemError(ThreadSystemError()), text);
    }
    ASSERT_TRUE(host.device->Close());
    uint8_t byte = 0;
    size_t moved = 0;
    EXPECT_FALSE(host.device->Write(&byte, 1, moved));
    EXPECT_EQ(DescribeSystemError(host.device->LastSystemError()),
              "write sim: Bad file descriptor");
}

TEST_F(SimDeviceTest, NullBuffersAreRefusedNotDereferenced) {
    SimHost host("sim");
    size_t moved = 0;
    EXPECT_FALSE(host.device->Write(nullptr, 3, moved));
    EXPECT_FALSE(host.device->Read(nullptr, 3, moved));
    EXPECT_TRUE(host.device->Write(nullptr, 0, moved));
}

TEST_F(SimDeviceTest, PacedLineTakesElevenBitsPerCharacter) {
    SimHost host("sim:paced", 2400);
    const Bytes request = Request(1, kTestEcho, Bytes(10, 0x55));
    const auto start = SteadyClock::now();
    host.Send(request);
    ASSERT_TRUE(host.device->WaitTransmitterEmpty());
    const auto sent = Since(start);
    const Bytes reply = host.Read(1 + request.size(), TotalTimeout(5000));
    const auto answered = Since(start);
    EXPECT_EQ(reply, Concat({0x01}, Answer(1, kTestEcho, Bytes(10, 0x55))));
    // 17 request characters, then the acknowledge and 17 answer characters, at 11 bits each.
    EXPECT_GE(sent, milliseconds(17 * 11 * 1000 / 2400));
    EXPECT_GE(answered, milliseconds(35 * 11 * 1000 / 2400));
}

TEST_F(SimDeviceTest, SpeedFactorShortensASimulatedDelay) {
    SimHost host("sim:speed=20");
    // 4000 ms of simulated time is 200 ms of real time.
    const Bytes request = Request(1, kTestDelayedEcho, {0x0F, 0xA0});
    const auto start = SteadyClock::now();
    host.Send(request);
    EXPECT_EQ(host.Read(1), Bytes{0x01});
    const Bytes answer = Answer(1, kTestDelayedEcho, {0x0F, 0xA0});
    EXPECT_EQ(host.Read(answer.size(), TotalTimeout(3000)), answer);
    EXPECT_GE(Since(start), milliseconds(200));
}

TEST(SimClockTest, SpeedChangeKeepsSimulatedTimeContinuous) {
    SimClock clock(1000.0);
    std::this_thread::sleep_for(milliseconds(20));
    const auto before = clock.Now();
    EXPECT_GE(before, std::chrono::seconds(20));
    clock.SetSpeed(1.0);
    EXPECT_GE(clock.Now(), before);
    EXPECT_LT(clock.Now(), before + std::chrono::seconds(10));
    clock.SetSpeed(0);  // ignored
    EXPECT_DOUBLE_EQ(clock.Speed(), 1.0);
    clock.SetSpeed(4.0);
    EXPECT_EQ(clock.RealDuration(std::chrono::milliseconds(400)), milliseconds(100));
}

}  // namespace
}  // namespace kelcmd::sim::testing
