// How the calling thread's last call ended, as a host reads it through KEB_GetLastOutcome.
#include <errno.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "kelcmd/kelcmd.h"
#include "sim/sim_answer.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;

constexpr uint8_t kReadPositionCode = 48;

KebOutcome LastOutcome() {
    KebOutcome outcome;
    std::memset(&outcome, 0x5A, sizeof outcome);
    outcome.size = sizeof outcome;
    EXPECT_EQ(KEB_GetLastOutcome(&outcome), 1);
    return outcome;
}

int32_t ReadPosition(const SimPort& port, uint8_t slave = 1) {
    int32_t position = 0;
    return MP_ReadPosition(port.name.c_str(), slave, &position);
}

TEST(LastOutcome, TellsSuccessARefusalWithCmdFailAndAShortAnswerApart) {
    SimPort port(76);
    ASSERT_EQ(port.openResult, 0);
    ASSERT_EQ(ReadPosition(port), 1);
    KebOutcome outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_SUCCEEDED});
    EXPECT_EQ(outcome.result, KEB_RESULT_OK);
    EXPECT_EQ(outcome.messageType, kReadPositionCode);
    EXPECT_EQ(outcome.trials, 1u);
    EXPECT_EQ(outcome.systemErrorNumber, 0);
    EXPECT_STREQ(outcome.systemErrorText, "");

    // CMD_FAIL is 0 like success: only the status tells the refusal.
    port.Unit(1).SetHandler(kReadPositionCode, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::RefusalAnswer(CMD_FAIL, WARN_NOMOVE);
    });
    ASSERT_EQ(ReadPosition(port), 0);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_REFUSED});
    EXPECT_EQ(outcome.unitError, KEB_CMD_FAIL);
    EXPECT_EQ(outcome.unitWarning, WARN_NOMOVE);
    EXPECT_EQ(outcome.messageType, kReadPositionCode);

    port.Unit(1).SetHandler(kReadPositionCode, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(kReadPositionCode, {0x00, 0x01});
    });
    ASSERT_EQ(ReadPosition(port), 0);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_BAD_ANSWER});
    EXPECT_EQ(outcome.result, KEB_BAD_LEN);
}

TEST(LastOutcome, CountsTrialsAndTimeOfAFailedExchange) {
    SimPort port(77, "1", 20);
    ASSERT_EQ(port.openResult, 0);
    ASSERT_EQ(ReadPosition(port, 9), 0);  // nobody at 9
    KebOutcome outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_LINE_FAILED});
    EXPECT_EQ(outcome.result, KEB_XMT_ERR_TACK);

    // Every answer damaged: the unit is asked again up to the receive trials.
    port.Unit(1).Misbehave(sim::Fault::CorruptCrc, sim::kAlways);
    ASSERT_EQ(ReadPosition(port), 0);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_LINE_FAILED});
    EXPECT_EQ(outcome.result, KEB_RCV_ERR_CRC);
    EXPECT_EQ(outcome.trials, 4u);
    port.Unit(1).ClearFaults();

    port.Unit(1).Misbehave(sim::Fault::Silent, sim::kAlways);
    ASSERT_EQ(MP_MoveAbsolute(port.name.c_str(), 1, 100, 40), 0);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.result, KEB_XMT_ERR_TACK);
    EXPECT_GE(outcome.durationMs, 20u);  // waited at least for one acknowledge
}

TEST(LastOutcome, SaysWhetherTheUnitMayHaveExecutedTheRequest) {
    SimPort port(79, "1", 20);
    ASSERT_EQ(port.openResult, 0);
    ASSERT_EQ(ReadPosition(port), 1);
    EXPECT_EQ(LastOutcome().mayHaveExecuted, 1u);

    port.Unit(1).SetHandler(kReadPositionCode, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::RefusalAnswer(CMD_FAIL, 0);
    });
    ASSERT_EQ(ReadPosition(port), 0);
    EXPECT_EQ(LastOutcome().mayHaveExecuted, 0u);

    struct Case {
        sim::Fault fault;
        int32_t status;
        uint32_t mayHaveExecuted;
        std::optional<uint32_t> parameter = std::nullopt;
    };
    const Case cases[] = {
        {sim::Fault::Silent, KEB_XMT_ERR_TACK, 0},      // nothing came back
        {sim::Fault::NakAck, KEB_XMT_ERR_CRC, 0},       // the unit dropped the frame
        {sim::Fault::AckNoAnswer, KEB_RCV_ERR_T0, 1},   // acknowledged, the answer lost
        {sim::Fault::CutAnswer, KEB_RCV_ERR_T1, 1, 3},  // an answer began
        {sim::Fault::DropAck, KEB_RESULT_OK, 1},        // judged on the answer
    };
    for (const Case& c : cases) {
        port.Unit(1).Misbehave(c.fault, sim::kAlways, c.parameter);
        const int32_t moved = MP_MoveRelative(port.name.c_str(), 1, 100, 40);
        const KebOutcome outcome = LastOutcome();
        EXPECT_EQ(moved, c.status == KEB_RESULT_OK ? 1 : 0) << c.status;
        EXPECT_EQ(outcome.result, c.status);
        EXPECT_EQ(outcome.mayHaveExecuted, c.mayHaveExecuted) << c.status;
        port.Unit(1).ClearFaults();
    }
    ASSERT_EQ(MP_MoveRelative("ComNeverMapped", 1, 100, 40), 0);
    EXPECT_EQ(LastOutcome().mayHaveExecuted, 0u);
}

TEST(LastOutcome, APortThatDoesNotOpenCarriesItsSystemReasonAndCallsNotSentSaySo) {
    KEB_MapPort("Com78", "/dev/kelcmd-no-such-device");
    ASSERT_EQ(KEB_InitKelBus(19200, "Com78", KEB_RTS_CONTROL, 100, 4), KEB_WIN_ERR_OPENCOMM);
    KebOutcome outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_LINE_FAILED});
    EXPECT_EQ(outcome.result, KEB_WIN_ERR_OPENCOMM);
    EXPECT_EQ(outcome.systemErrorNumber, ENOENT);
    EXPECT_STREQ(outcome.systemErrorText,
                 "open /dev/kelcmd-no-such-device: No such file or directory");
    KEB_MapPort("Com78", nullptr);

    // Stopped before the line: no port, slave 0, a null packet. No older reason sticks to them.
    int32_t position = 0;
    ASSERT_EQ(MP_ReadPosition("Com78", 1, &position), 0);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_NOT_SENT});
    EXPECT_EQ(outcome.result, KEB_NO_COMMAND);
    EXPECT_EQ(outcome.systemErrorNumber, 0);

    SimPort port(80);
    ASSERT_EQ(ReadPosition(port), 1);
    ASSERT_EQ(ReadPosition(port, 0), 0);
    EXPECT_EQ(LastOutcome().status, uint32_t{KEB_OUTCOME_NOT_SENT});
    ASSERT_EQ(MP_KEB_SendPacket(port.name.c_str(), nullptr), KEB_NO_COMMAND);
    EXPECT_EQ(LastOutcome().status, uint32_t{KEB_OUTCOME_NOT_SENT});

    // A raw packet's exchange is judged too.
    KebPacket packet{};
    packet.dest = 1;
    packet.mtype = 200;
    ASSERT_EQ(MP_KEB_SendPacket(port.name.c_str(), &packet), KEB_RESULT_OK);
    outcome = LastOutcome();
    EXPECT_EQ(outcome.status, uint32_t{KEB_OUTCOME_SUCCEEDED});
    EXPECT_EQ(outcome.messageType, 200);

    // A stacked command is not sent, but not failed either.
    MP_StartStackingCommands(port.name.c_str(), 1);
    ASSERT_EQ(MP_SetPosVelocity(port.name.c_str(), 1, 5.0f), 1);
    EXPECT_EQ(LastOutcome().status, uint32_t{KEB_OUTCOME_STACKED});
    MP_StopStackingCommands(port.name.c_str(), 1);
}

TEST(LastOutcome, RefusesANullOrTooSmallStruct) {
    EXPECT_EQ(KEB_GetLastOutcome(nullptr), 0);
    KebOutcome outcome;
    std::memset(&outcome, 0x5A, sizeof outcome);
    outcome.size = sizeof outcome - 1;
    EXPECT_EQ(KEB_GetLastOutcome(&outcome), 0);
    EXPECT_EQ(outcome.status, 0x5A5A5A5Au);  // untouched
}

TEST(LastOutcomeThreads, EachThreadSeesItsOwnCalls) {
    SimPort port(82, "1", 10);
    ASSERT_EQ(port.openResult, 0);
    std::atomic<int> mixedUp{0};
    auto run = [&](uint8_t slave, uint32_t expected) {
        for (int i = 0; i < 8; ++i) {
            ReadPosition(port, slave);
            KebOutcome outcome{};
            outcome.size = sizeof outcome;
            KEB_GetLastOutcome(&outcome);
            if (outcome.status != expected) ++mixedUp;
        }
    };
    std::thread good(run, 1, KEB_OUTCOME_SUCCEEDED);
    std::thread absent(run, 9, KEB_OUTCOME_LINE_FAILED);
    good.join();
    absent.join();
    EXPECT_EQ(mixedUp.load(), 0);
}

}  // namespace
}  // namespace kelcmd
