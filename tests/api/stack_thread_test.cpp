#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "api/catalogue_call.h"
#include "api/communication.h"
#include "command/command_stack.h"
#include "command/test_family.h"
#include "kelcmd/kelcmd.h"
#include "sim_port.h"

namespace kelcmd::testing {
namespace {

int ReadProfile(TinyFamily& family, const std::string& port, uint8_t* type) {
    return CallCatalogue(&family, port.c_str(), 1, "ReadProfile", {}, {Out(type)});
}

TEST(StackThreadTest, AnotherThreadsCommandsGoOutAtOnceWhileOneThreadCollects) {
    SimPort port(97);
    port.Unit(1).SetHandler(47, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(47, {3, 0, 0, 0, 0, 0, 0, 0, 0});
    });
    TinyFamily family;
    family.SetLinks(&Communication(), &ProcessCommandStack());
    MP_StartStackingCommands(port.name.c_str(), 1);

    uint8_t collected = 0;
    ASSERT_EQ(ReadProfile(family, port.name, &collected), 1);
    uint8_t direct = 0;
    int directResult = 0;
    int otherStop = -1;
    std::thread other([&] {
        directResult = ReadProfile(family, port.name, &direct);
        otherStop = MP_StopStackingCommands(port.name.c_str(), 1);
    });
    other.join();
    EXPECT_EQ(directResult, 1);
    EXPECT_EQ(direct, 3);
    EXPECT_EQ(otherStop, 0);
    EXPECT_EQ(collected, 0);
    EXPECT_EQ(port.FramesWritten(), 1u);

    EXPECT_EQ(MP_ExecuteCommandStack(port.name.c_str(), 1), 1);
    EXPECT_EQ(collected, 3);
}

TEST(StackThreadTest, ThreadsCollectAndSendTheirOwnBatchesSideBySide) {
    SimPort port(98, "1-4");
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        port.Unit(unit).SetHandler(47, [unit](sim::SimUnit&, std::span<const uint8_t>) {
            return sim::PositiveAnswer(47, {unit, 0, 0, 0, 0, 0, 0, 0, 0});
        });
    }
    TinyFamily family;
    family.SetLinks(&Communication(), &ProcessCommandStack());
    uint8_t results[4][3] = {};
    int executed[4] = {};
    std::vector<std::thread> threads;
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        threads.emplace_back([&, unit] {
            for (int round = 0; round < 3; ++round) {
                MP_StartStackingCommands(port.name.c_str(), unit);
                CallCatalogue(&family, port.name.c_str(), unit, "ReadProfile", {},
                              {Out(&results[unit - 1][round])});
                executed[unit - 1] += MP_ExecuteCommandStack(port.name.c_str(), unit);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (uint8_t unit = 1; unit <= 4; ++unit) {
        EXPECT_EQ(executed[unit - 1], 3);
        for (int round = 0; round < 3; ++round) EXPECT_EQ(results[unit - 1][round], unit);
    }
}

// Entries of a thread that ended can never be sent or stopped by anyone: they go with the thread,
// whether it was still collecting or had stopped, and the other threads' entries stay.
TEST(StackThreadTest, EntriesOfAThreadThatEndedAreFreed) {
    CCommandStack stack;
    stack.Start("Com5", 1);
    for (int round = 0; round < 20; ++round) {
        std::thread worker([&] {
            stack.Start("Com5", 2);
            stack.Start("Com5", 3);
            EXPECT_EQ(stack.Stop("Com5", 3), 1);
            EXPECT_EQ(stack.ActiveCount(), 2u);
            EXPECT_EQ(stack.StoppedCount(), 1u);
        });
        worker.join();
    }
    EXPECT_EQ(stack.ActiveCount(), 1u);
    EXPECT_EQ(stack.StoppedCount(), 0u);
    EXPECT_TRUE(stack.IsStacking("Com5", 1));

    // A thread that outlives its stack finds nothing to free.
    auto shortLived = std::make_unique<CCommandStack>();
    std::atomic<bool> started{false};
    std::atomic<bool> stackGone{false};
    std::thread late([&] {
        shortLived->Start("Com5", 1);
        started = true;
        while (!stackGone) std::this_thread::yield();
    });
    while (!started) std::this_thread::yield();
    shortLived.reset();
    stackGone = true;
    late.join();
}

}  // namespace
}  // namespace kelcmd::testing
