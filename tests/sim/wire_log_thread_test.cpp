#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sim/test_commands.h"
#include "sim_host.h"

namespace kelcmd::sim::testing {
namespace {

using SimBusThreadTest = SimBusTest;

TEST_F(SimBusThreadTest, WireLogAndUnitsCanBeInspectedDuringExchanges) {
    SimHost host("sim:1-2");
    constexpr int kExchanges = 200;
    const Bytes request = Request(1, kTestEcho, {1, 2, 3});
    const Bytes expected = Concat({0x01}, Answer(1, kTestEcho, {1, 2, 3}));
    std::atomic<bool> done = false;

    std::thread inspector([&] {
        size_t lastSize = 0;
        while (!done) {
            const auto log = host.bus->WireLog();
            EXPECT_GE(log.size(), lastSize);
            lastSize = log.size();
            (void)host.bus->Counters();
            host.bus->Unit(2)->SetValue("input", static_cast<int64_t>(lastSize));
            host.bus->Unit(2)->Misbehave(Fault::Silent);
            host.bus->Unit(2)->ClearFaults();
        }
    });
    int good = 0;
    for (int i = 0; i < kExchanges; ++i) good += host.Exchange(request) == expected ? 1 : 0;
    done = true;
    inspector.join();

    EXPECT_EQ(good, kExchanges);
    EXPECT_EQ(host.bus->WireLog().size(), kExchanges * request.size());
    EXPECT_EQ(host.bus->Unit(1)->Counters().framesTaken, static_cast<uint64_t>(kExchanges));
}

TEST_F(SimBusThreadTest, InputFedFromAnotherThreadWakesABlockedRead) {
    SimHost host("sim");
    std::thread feeder([&] {
        for (uint8_t i = 0; i < 50; ++i) {
            host.bus->InjectInput({i});
            std::this_thread::yield();
        }
    });
    const Bytes received = host.Read(50, TotalTimeout(0));  // no limit: waits for all 50
    feeder.join();
    ASSERT_EQ(received.size(), 50u);
    for (uint8_t i = 0; i < 50; ++i) EXPECT_EQ(received[i], i);
}

}  // namespace
}  // namespace kelcmd::sim::testing
