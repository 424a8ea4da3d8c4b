// One command's execution on a port: status, error, warning, the error callback, observers,
// reservation, and threads sharing ports.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "api/communication.h"
#include "command/command_execution.h"
#include "sim/fault.h"
#include "sim/sim_answer.h"
#include "sim/test_commands.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::MakeRequest;
using testing::SimPort;

struct CallbackRecord {
    int calls = 0;
    uint8_t messageType = 0;
    uint8_t error = 0;
    int16_t warning = 0;
    uint32_t batchFlag = 0;
};
CallbackRecord lastCallback;

void RecordCallback(uint8_t messageType, uint8_t error, int16_t warning, uint32_t batchFlag) {
    ++lastCallback.calls;
    lastCallback.messageType = messageType;
    lastCallback.error = error;
    lastCallback.warning = warning;
    lastCallback.batchFlag = batchFlag;
}

// A unit command that refuses with `reason` and exactly `data` as answer data.
void InstallRefusal(sim::SimUnit& unit, uint8_t code, uint8_t reason, std::vector<uint8_t> data) {
    unit.SetHandler(code, [reason, data](sim::SimUnit&, std::span<const uint8_t>) {
        sim::SimAnswer answer;
        answer.mtype = reason;
        answer.data = data;
        return answer;
    });
}

class ExecutionCycle : public ::testing::Test {
  protected:
    void SetUp() override { lastCallback = {}; }
};

TEST_F(ExecutionCycle, SuccessRecordsStatusTimesAndTrials) {
    SimPort port(21);
    auto command = MakeRequest(1, sim::kTestEcho, {1});
    ASSERT_EQ(ExecuteOnPort(*port.Port(), *command), 1);
    EXPECT_EQ(command->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_EQ(command->GetError(), 0u);
    EXPECT_EQ(command->GetWarning(), 0);
    EXPECT_EQ(command->GetTrials(), 1u);
    EXPECT_GE(command->GetEndTime(), command->GetStartTime());
}

TEST_F(ExecutionCycle, RefusalsCarryTheirWarningInTheLastTwoDataBytes) {
    SimPort port(22);
    ASSERT_EQ(MP_InitKelCommander(port.name.c_str(), RecordCallback), 1);
    struct Case {
        std::vector<uint8_t> data;
        int16_t warning;
    };
    const Case cases[] = {{{}, 0},
                          {{0xAA}, 0},
                          {{0x00, 0xAA}, 170},
                          {{0x01, 0x02, 0x00, 0x82}, 130},
                          {{0xFF, 0xFE}, -2}};
    for (const Case& c : cases) {
        InstallRefusal(port.Unit(1), 100, BAD_PRM, c.data);
        auto command = MakeRequest(1, 100);
        lastCallback = {};
        EXPECT_EQ(ExecuteOnPort(*port.Port(), *command), 0);
        EXPECT_EQ(command->GetStatus(), STATUS_FAILED);
        EXPECT_EQ(command->GetError(), static_cast<uint32_t>(BAD_PRM));
        EXPECT_EQ(command->GetWarning(), c.warning);
        EXPECT_EQ(lastCallback.calls, 1);
        EXPECT_EQ(lastCallback.messageType, 100);
        EXPECT_EQ(lastCallback.error, BAD_PRM);
        EXPECT_EQ(lastCallback.warning, c.warning);
        EXPECT_EQ(lastCallback.batchFlag, 0u);
    }
}

TEST_F(ExecutionCycle, FailedBatchNamesTheFailingMember) {
    SimPort port(23);
    MP_InitKelCommander(port.name.c_str(), RecordCallback);
    InstallRefusal(port.Unit(1), 5, BATCH_FAIL, {0x10, 0x00, 0x82});
    auto batch = MakeRequest(1, 5, {0x24, 0, 0, 0, 1});
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *batch), 0);
    EXPECT_EQ(lastCallback.messageType, 0x10);
    EXPECT_EQ(lastCallback.error, BATCH_FAIL);
    EXPECT_EQ(lastCallback.warning, 130);
    EXPECT_EQ(lastCallback.batchFlag, 1u);
    EXPECT_EQ(batch->GetErrorText(), "BATCH_FAIL / Batch command failed!");
}

TEST_F(ExecutionCycle, TransferFailureReachesTheCallbackWithoutWarning) {
    SimPort port(24);
    MP_InitKelCommander(port.name.c_str(), RecordCallback);
    port.Unit(1).Misbehave(sim::Fault::NakAck, sim::kAlways);
    auto command = MakeRequest(1, sim::kTestEcho);
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *command), 0);
    EXPECT_EQ(command->GetError(), static_cast<uint32_t>(XMT_ERR_CRC));
    EXPECT_EQ(lastCallback.messageType, sim::kTestEcho);
    EXPECT_EQ(lastCallback.error, XMT_ERR_CRC);
    EXPECT_EQ(lastCallback.warning, 0);
}

TEST_F(ExecutionCycle, NoAnswerExpectedSucceedsWithoutReadingOne) {
    SimPort port(25);
    auto broadcast = MakeRequest(255, sim::kTestEcho);
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *broadcast), 1);
    EXPECT_EQ(broadcast->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_FALSE(broadcast->IsAnswerReceived());
    auto acknowledgeOnly = MakeRequest(1, 8, {1});
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *acknowledgeOnly), 1);
}

TEST_F(ExecutionCycle, WithoutCallbackFailuresShowOnlyInTheCommand) {
    SimPort port(26);
    InstallRefusal(port.Unit(1), 100, CMD_FAIL, {0, 170});
    auto command = MakeRequest(1, 100);
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *command), 0);
    EXPECT_EQ(lastCallback.calls, 0);
    EXPECT_EQ(command->GetError(), 0u);
    EXPECT_EQ(command->GetStatus(), STATUS_FAILED);
    EXPECT_EQ(command->GetWarningText(),
              "WARN_NOMOVE / Requested motion not started or unfinished!");
}

TEST_F(ExecutionCycle, ClosedPortLosesItsCallback) {
    {
        SimPort port(27);
        MP_InitKelCommander(port.name.c_str(), RecordCallback);
    }
    SimPort again(27);
    again.Unit(1).Misbehave(sim::Fault::NakAck, sim::kAlways);
    auto command = MakeRequest(1, sim::kTestEcho);
    EXPECT_EQ(ExecuteOnPort(*again.Port(), *command), 0);
    EXPECT_EQ(lastCallback.calls, 0);
}

TEST_F(ExecutionCycle, ReservedPortRefusesOtherThreadsAtOnce) {
    SimPort port(29);
    port.Port()->Reserve();
    std::atomic<int> result{-1};
    auto command = MakeRequest(1, sim::kTestEcho);
    command->SetError(77);
    std::thread other([&] { result = ExecuteOnPort(*port.Port(), *command); });
    other.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(command->GetStatus(), STATUS_FAILED);
    EXPECT_EQ(command->GetError(), 77u);  // unchanged
    EXPECT_EQ(port.FramesWritten(), 0u);

    auto own = MakeRequest(1, sim::kTestEcho);
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *own), 1);
    Communication().ReleaseAllPorts();
    std::thread after([&] { result = ExecuteOnPort(*port.Port(), *command); });
    after.join();
    EXPECT_EQ(result, 1);
}

TEST_F(ExecutionCycle, SetPortSettingsLeavesThePortClosed) {
    SimPort port(30);
    CPortSettings settings = port.Port()->Settings();
    EXPECT_EQ(Communication().SetPortSettings(port.name, settings), 1);
    auto command = MakeRequest(1, sim::kTestEcho);
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *command), 0);
    EXPECT_EQ(command->GetError(), static_cast<uint32_t>(WIN_ERR_WRITECOMM));
    EXPECT_EQ(Communication().SetPortSettings("Com99x", settings), 0);
}

class Recorder final : public CBusMonitor {
  public:
    void ReceiveCommand(const CKelCommand& command) override {
        commands.push_back(command.GetCode());
    }
    std::vector<uint8_t> commands;
};

TEST_F(ExecutionCycle, ObserversHearOnlyTheirActiveThreads) {
    SimPort port(31);
    Recorder first;
    Recorder second;
    port.Port()->RegisterObserver(&first);
    port.Port()->RegisterObserver(&second);  // ignored while one is registered
    auto command = MakeRequest(1, sim::kTestEcho);
    ExecuteOnPort(*port.Port(), *command);
    EXPECT_FALSE(first.commands.empty());
    EXPECT_TRUE(second.commands.empty());

    const size_t heard = first.commands.size();
    std::thread other([&] {
        auto foreign = MakeRequest(1, sim::kTestEcho);
        ExecuteOnPort(*port.Port(), *foreign);
    });
    other.join();
    EXPECT_EQ(first.commands.size(), heard);

    port.Port()->SuspendObserver(0, 1, nullptr);
    ExecuteOnPort(*port.Port(), *command);
    EXPECT_EQ(first.commands.size(), heard);
    port.Port()->ResumeObserver(0, 1, nullptr);
    ExecuteOnPort(*port.Port(), *command);
    EXPECT_GT(first.commands.size(), heard);
}

// Observers hear every reception, the damaged answer before the good one, once the port is free:
// an observer may use the port itself.
TEST_F(ExecutionCycle, ObserversHearEachReceptionWithThePortFree) {
    class Prober final : public CBusMonitor {
      public:
        explicit Prober(CKelPort& port) : port_(port) {}
        void ReceiveCommand(const CKelCommand& command) override {
            if (probing_) return;  // the probe's own exchange
            trials.push_back(command.Exchange().trials);
            probing_ = true;
            auto probe = MakeRequest(1, sim::kTestEcho);
            probeResults.push_back(ExecuteOnPort(port_, *probe));
            probing_ = false;
        }
        std::vector<uint32_t> trials;
        std::vector<int> probeResults;

      private:
        CKelPort& port_;
        bool probing_ = false;
    };
    SimPort port(33);
    Prober prober(*port.Port());
    port.Port()->RegisterObserver(&prober);
    port.Unit(1).Misbehave(sim::Fault::CorruptCrc, 1);
    auto command = MakeRequest(1, sim::kTestEcho, {7});
    EXPECT_EQ(ExecuteOnPort(*port.Port(), *command), 1);
    // The damaged answer first, the good one asked for again last.
    ASSERT_GE(prober.trials.size(), 3u);
    EXPECT_EQ(prober.trials.front(), 1u);
    EXPECT_EQ(prober.trials.back(), 2u);
    EXPECT_EQ(prober.probeResults.front(), 1);
    port.Port()->SuspendObserver(1, 1, nullptr);
}

TEST_F(ExecutionCycle, ThreadsOnOnePortNeverInterleaveFrames) {
    SimPort port(32, "1-2");
    constexpr int kPerThread = 25;
    std::atomic<int> successes{0};
    auto worker = [&](uint8_t unit) {
        for (int i = 0; i < kPerThread; ++i) {
            auto command = MakeRequest(unit, sim::kTestEcho, {unit, static_cast<uint8_t>(i)});
            if (ExecuteOnPort(*port.Port(), *command) == 1 &&
                command->GetAnswerBuffer()[kDataOffset] == unit &&
                command->GetAnswerBuffer()[kDataOffset + 1] == i) {
                ++successes;
            }
        }
    };
    std::thread a(worker, 1);
    std::thread b(worker, 2);
    a.join();
    b.join();
    EXPECT_EQ(successes, 2 * kPerThread);
    // Every frame on the wire is whole: 9 bytes from its address byte to the next.
    const auto log = port.bus->WireLog();
    size_t frameStart = 0;
    for (size_t i = 1; i <= log.size(); ++i) {
        if (i == log.size() || log[i].ninthBit) {
            EXPECT_EQ(i - frameStart, 9u);
            frameStart = i;
        }
    }
}

TEST_F(ExecutionCycle, ThreadsOnTwoPortsRunInParallel) {
    SimPort left(33);
    SimPort right(34);
    std::atomic<int> successes{0};
    auto worker = [&](SimPort* port) {
        for (int i = 0; i < 20; ++i) {
            auto command = MakeRequest(1, sim::kTestEcho, {static_cast<uint8_t>(i)});
            successes += ExecuteOnPort(*port->Port(), *command);
        }
    };
    std::thread a(worker, &left);
    std::thread b(worker, &right);
    a.join();
    b.join();
    EXPECT_EQ(successes, 40);
}

}  // namespace
}  // namespace kelcmd
