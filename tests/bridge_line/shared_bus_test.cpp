// Programs on the host side of a real kelcmd-bridge process: the kelcmd program and this process's
// library share one remote bus, and a run of commands lives through a broker restart.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "bridge/bridge_harness.h"
#include "command/thread_outcome.h"
#include "kelcmd/kelcmd.h"
#include "mosquitto_broker.h"

namespace kelcmd::testing {
namespace {

using namespace std::chrono_literals;

// A kelcmd run on `device`.
ProgramRun RunCli(const std::string& device, const std::string& arguments) {
    return RunProgram(std::string(KELCMD_CLI_PROGRAM) + " --device " + device + " " + arguments);
}

std::string Text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool Online(const std::string& payload) {
    return payload == "online";
}

// A broker and a bridge process with simulated units 1 to 3 on bus "shared", telling every
// exchange on its line.
class BridgeLine : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("KELCMD_PORTS", "", 1);
        ASSERT_TRUE(broker.Start()) << broker.Log();
        watcher = std::make_unique<BrokerWatcher>(broker.Host(), broker.Port(), "kelcmd/shared/#");
        bridge = std::make_unique<BridgeProcess>(std::vector<std::string>{
            "--broker", broker.Url(), "--port", "Com1", "--device", "sim:1-3,speed=50", "--bus",
            "shared", "--scan", "1-3", "--timeout", "50", "--poll", "0", "--events"});
        ASSERT_TRUE(watcher->WaitFor("kelcmd/shared/status", Online));
        device = "mqtt://127.0.0.1:" + std::to_string(broker.Port()) + "/kelcmd/shared";
    }
    void TearDown() override {
        KEB_CloseKelBusPort(kHost);
        KEB_MapPort(kHost, "");
        bridge.reset();
        watcher.reset();
    }
    uint8_t OpenHost(const std::string& options = "") {
        KEB_MapPort(kHost, (device + options).c_str());
        return KEB_InitKelBus(19200, kHost, KEB_RTS_CONTROL, 50, 4);
    }

    static constexpr const char* kHost = "Com72";
    MosquittoBroker broker;
    std::unique_ptr<BrokerWatcher> watcher;
    std::unique_ptr<BridgeProcess> bridge;
    std::string device;
};

TEST_F(BridgeLine, TheCliAndTheLibraryShareTheBusEachGettingItsOwnAnswers) {
    ASSERT_EQ(OpenHost(), 0);
    std::atomic<bool> cliDone{false};
    int libraryRounds = 0;
    // The library works on unit 2 with accelerations from 1 up, the program on unit 1 below 1: an
    // answer that reached the wrong side shows in its value.
    std::thread library([&] {
        for (int i = 0; !cliDone; ++i, ++libraryRounds) {
            const float accel = 1.0f + static_cast<float>(i % 8) * 0.125f;
            ASSERT_EQ(MP_SetProfile(kHost, 2, 1, accel, accel * 2), 1);
            uint8_t type = 0;
            float readAccel = 0, readDecel = 0, ceiling = 0;
            ASSERT_EQ(MP_ReadProfile(kHost, 2, &type, &readAccel, &readDecel, &ceiling), 1);
            EXPECT_EQ(readAccel, accel);
            EXPECT_EQ(readDecel, accel * 2);
        }
    });
    for (int i = 1; i <= 6; ++i) {
        const std::string accel = Text(i * 0.125);
        const std::string decel = Text(i * 0.0625);
        const ProgramRun set = RunCli(device, "--slave 1 SetProfile 1 " + accel + " " + decel);
        EXPECT_EQ(set.status, 0) << set.output;
        const ProgramRun read = RunCli(device, "--slave 1 ReadProfile");
        EXPECT_EQ(read.status, 0) << read.output;
        EXPECT_NE(read.output.find("accel = " + accel + "\n"), std::string::npos) << read.output;
    }
    cliDone = true;
    library.join();
    EXPECT_GT(libraryRounds, 0);

    // On the line every answer comes from the unit of the request before it: no exchange of one
    // program slipped into the other's.
    std::string asked;
    int answers = 0;
    for (const std::string& text : watcher->Seen("/events")) {
        const auto event = nlohmann::json::parse(text, nullptr, false);
        const std::string kind = event.value("event", "");
        const std::string bytes = event.value("bytes", "");
        if (kind == "request") asked = bytes.substr(0, 2);
        if (kind != "answer") continue;
        EXPECT_EQ(bytes.substr(9, 2), asked) << text;
        ++answers;
    }
    EXPECT_GE(answers, 12 + 2 * libraryRounds);
}

TEST_F(BridgeLine, TheCliScansTheBridgesUnits) {
    const ProgramRun scan = RunCli(device, "scan 1-5");
    EXPECT_EQ(scan.status, 0) << scan.output;
    for (const char* unit : {"unit   1:", "unit   2:", "unit   3:"})
        EXPECT_NE(scan.output.find(unit), std::string::npos) << scan.output;
    EXPECT_EQ(scan.output.find("unit   4:"), std::string::npos) << scan.output;
    EXPECT_NE(scan.output.find("3 units answer"), std::string::npos) << scan.output;
}

// The broker goes away during a run of relative moves and comes back: each move either
// completes once or fails with a defined result, and the unit's target counts exactly the moves
// that ran, never one twice.
TEST_F(BridgeLine, ABrokerRestartNeitherRepeatsNorInventsAMove) {
    ASSERT_EQ(OpenHost("?allowance=500"), 0);
    int32_t start = 0;
    ASSERT_EQ(MP_ReadPositionMust(kHost, 3, &start), 1);
    constexpr int kCommands = 100;
    std::atomic<int> issued{0};
    std::jthread restarter = broker.RestartAt(issued, kCommands / 4, 200ms);
    int uncertain = 0;  // failed after the request may have reached the unit
    // One move of one step; a failure must name the line and say whether the move may have run.
    const auto moveOnce = [&] {
        if (MP_MoveRelative(kHost, 3, 1, 0) == 1) return true;
        const Outcome& outcome = ThreadOutcome();
        EXPECT_EQ(outcome.status, OutcomeStatus::kLineFailed);
        EXPECT_TRUE(outcome.result == KEB_WIN_ERR_WRITECOMM ||
                    outcome.result == KEB_WIN_ERR_READCOMM)
            << int{outcome.result};
        uncertain += outcome.mayHaveExecuted;
        std::this_thread::sleep_for(20ms);  // the broker is away for a while
        return false;
    };
    int succeeded = 0;
    for (; issued < kCommands; ++issued) succeeded += moveOnce();
    restarter.join();
    EXPECT_LT(succeeded, kCommands);
    // The line comes back: one more move runs once the bridge is connected again.
    bool recovered = false;
    for (int i = 0; i < 100 && !recovered; ++i) recovered = moveOnce();
    ASSERT_TRUE(recovered);
    ++succeeded;

    // Reconnected: the last moves ran, and the target is the start plus one per move that ran.
    int32_t target = 0;
    for (int i = 0; i < 50 && MP_ReadPositionMust(kHost, 3, &target) != 1; ++i)
        std::this_thread::sleep_for(100ms);
    for (int i = 0; i < 100; ++i) {  // wait until the unit reaches its final target
        int32_t again = 0;
        std::this_thread::sleep_for(50ms);
        if (MP_ReadPositionMust(kHost, 3, &again) == 1 && again == target) break;
        target = again;
    }
    EXPECT_GE(target - start, succeeded);
    EXPECT_LE(target - start, succeeded + uncertain);
}

}  // namespace
}  // namespace kelcmd::testing
