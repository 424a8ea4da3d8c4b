#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/test_commands.h"
#include "sim_host.h"
#include "transport/result_codes.h"

namespace kelcmd::sim::testing {
namespace {

using SimExchangeTest = SimBusTest;

constexpr uint8_t kAck = 0x01;

Bytes LoadRegister(SimHost& host, uint8_t unit, uint8_t reg) {
    const Bytes reply = host.Exchange(Request(unit, kTestLoadRegister, {reg}));
    if (reply.size() != 12) return {};
    return Bytes(reply.begin() + 6, reply.begin() + 10);
}

TEST_F(SimExchangeTest, EchoIsAcknowledgedAndAnsweredByteExact) {
    SimHost host("sim");
    host.Send(Request(1, kTestEcho, {0x11, 0x22, 0x33}));
    // Length word of 3 data bytes: 0xF403 (3 + 0 + 61 = 64).
    const Bytes answer{0x00, 0xF4, 0x03, 0x01, 200, 0x11, 0x22, 0x33};
    EXPECT_EQ(host.ReadPending(), Concat({kAck}, WithCrc(answer)));
    EXPECT_EQ(host.bus->PendingInput(), 0u);
}

TEST_F(SimExchangeTest, WireLogKeepsTheNinthBitOfEveryByte) {
    SimHost host("sim");
    host.Exchange(Request(1, kTestEcho));
    const auto log = host.bus->WireLog();
    const Bytes request = Request(1, kTestEcho);
    ASSERT_EQ(log.size(), request.size());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i], (WireByte{request[i], i == 0})) << i;
    }
    EXPECT_EQ(host.bus->WrittenBytes(), request);
    host.bus->ClearWireLog();
    EXPECT_TRUE(host.bus->WireLog().empty());
    const auto counters = host.bus->Counters();
    EXPECT_EQ(counters.bytesWritten, request.size());
    EXPECT_EQ(counters.acksSent, 1u);
    EXPECT_EQ(counters.answersSent, 1u);
    EXPECT_EQ(counters.bytesRead, 1u + 7u);
}

TEST_F(SimExchangeTest, AcknowledgeValueIsConfigurable) {
    SimHost host("sim");
    host.bus->Unit(1)->SetAckValue(0xE0);
    EXPECT_EQ(host.Exchange(Request(1, kTestEcho)), Concat({0xE0}, Answer(1, kTestEcho)));
}

TEST_F(SimExchangeTest, OnlyABytewithTheNinthBitStartsAFrame) {
    SimHost host("sim");
    // A whole valid frame without the ninth bit is noise, and so is a stray byte before the start.
    host.WriteRaw(Request(1, kTestEcho), Parity::Space);
    host.WriteRaw({0x01, 0x00}, Parity::Space);
    EXPECT_EQ(host.bus->PendingInput(), 0u);
    EXPECT_EQ(host.Exchange(Request(1, kTestEcho, {1})), Concat({kAck}, Answer(1, kTestEcho, {1})));
    // Other parities than mark do not carry the ninth bit either.
    host.WriteRaw(Request(1, kTestEcho), Parity::Odd);
    EXPECT_EQ(host.bus->PendingInput(), 0u);
}

TEST_F(SimExchangeTest, AnAddressByteAbandonsAFrameInProgress) {
    SimHost host("sim");
    const Bytes cut = Request(1, kTestEcho, {9, 9, 9});
    host.Send(Bytes(cut.begin(), cut.begin() + 5));
    EXPECT_EQ(host.Exchange(Request(1, kTestEcho, {7})), Concat({kAck}, Answer(1, kTestEcho, {7})));
}

TEST_F(SimExchangeTest, FramesForOtherAddressesAreIgnored) {
    SimHost host("sim:1-2");
    EXPECT_TRUE(host.Exchange(Request(3, kTestEcho)).empty());
    EXPECT_EQ(host.Exchange(Request(2, kTestEcho)), Concat({kAck}, Answer(2, kTestEcho)));
    EXPECT_EQ(host.bus->Unit(1)->Counters().commandsExecuted, 0u);
}

TEST_F(SimExchangeTest, GroupAddressRunsTheCommandWithoutReply) {
    SimHost host("sim:1-3");
    ASSERT_TRUE(host.bus->Unit(1)->AddGroup(130));
    ASSERT_TRUE(host.bus->Unit(2)->AddGroup(130));
    EXPECT_FALSE(host.bus->Unit(3)->AddGroup(100));  // not a group address
    EXPECT_FALSE(host.bus->Unit(3)->AddGroup(254));
    EXPECT_TRUE(host.Exchange(Request(130, kTestStoreRegister, {4, 0, 0, 1, 2})).empty());
    EXPECT_EQ(LoadRegister(host, 1, 4), (Bytes{0, 0, 1, 2}));
    EXPECT_EQ(LoadRegister(host, 2, 4), (Bytes{0, 0, 1, 2}));
    EXPECT_EQ(LoadRegister(host, 3, 4), (Bytes{0, 0, 0, 0}));
    // A group frame with a bad CRC is dropped silently.
    Bytes bad = Request(130, kTestStoreRegister, {4, 0, 0, 0, 9});
    bad.back() ^= 1;
    EXPECT_TRUE(host.Exchange(bad).empty());
    EXPECT_EQ(LoadRegister(host, 1, 4), (Bytes{0, 0, 1, 2}));
}

TEST_F(SimExchangeTest, Address254IsAcknowledgedButNotAnswered) {
    SimHost host("sim");
    EXPECT_EQ(host.Exchange(Request(254, kTestCount)), Bytes{kAck});
    EXPECT_EQ(host.bus->Unit(1)->Value("testCount"), 1);
}

TEST_F(SimExchangeTest, MessageType8IsAcknowledgedOnly) {
    SimHost host("sim");
    int runs = 0;
    host.bus->Unit(1)->SetHandler(8, [&runs](SimUnit&, std::span<const uint8_t>) {
        ++runs;
        return PositiveAnswer(8);
    });
    EXPECT_EQ(host.Exchange(Request(1, 8)), Bytes{kAck});
    EXPECT_EQ(runs, 1);
}

TEST_F(SimExchangeTest, ResendRequestRepeatsTheLastAnswerWithoutRunningAgain) {
    SimHost host("sim");
    const Bytes first = host.Exchange(Request(1, kTestCount));
    EXPECT_EQ(first, Concat({kAck}, Answer(1, kTestCount, {0, 0, 0, 1})));
    EXPECT_EQ(host.Exchange(Request(1, 255)), first);
    EXPECT_EQ(host.Exchange(Request(1, kTestCount)),
              Concat({kAck}, Answer(1, kTestCount, {0, 0, 0, 2})));
    EXPECT_EQ(host.bus->Unit(1)->Counters().resendsServed, 1u);
}

TEST_F(SimExchangeTest, ResendBeforeAnyAnswerIsOnlyAcknowledged) {
    SimHost host("sim");
    EXPECT_EQ(host.Exchange(Request(1, 255)), Bytes{kAck});
}

TEST_F(SimExchangeTest, UnknownCodeIsRefusedWithWarnUnknown) {
    SimHost host("sim");
    EXPECT_EQ(host.Exchange(Request(1, 99, {1, 2})), Concat({kAck}, Answer(1, UNKNOWN, {0, 100})));
}

TEST_F(SimExchangeTest, RefuseCommandSendsTheChosenReasonAndWarning) {
    SimHost host("sim");
    EXPECT_EQ(host.Exchange(Request(1, kTestRefuse, {BAD_PRM, 0, 171})),
              Concat({kAck}, Answer(1, BAD_PRM, {0, 171})));
    EXPECT_EQ(host.Exchange(Request(1, kTestRefuse, {CMD_FAIL, 0xFF, 0xFE})),
              Concat({kAck}, Answer(1, CMD_FAIL, {0xFF, 0xFE})));
    EXPECT_EQ(host.Exchange(Request(1, kTestRefuse, {1})),
              Concat({kAck}, Answer(1, BAD_LEN, {0, 110})));
}

TEST_F(SimExchangeTest, NoAnswerCommandIsOnlyAcknowledged) {
    SimHost host("sim");
    EXPECT_EQ(host.Exchange(Request(1, kTestNoAnswer)), Bytes{kAck});
}

TEST_F(SimExchangeTest, CorruptedRequestsGetANakAndDoNotRun) {
    SimHost host("sim");
    Bytes badCrc = Request(1, kTestCount);
    badCrc[badCrc.size() - 2] ^= 0x80;
    EXPECT_EQ(host.Exchange(badCrc), Bytes{0xFF});

    // A bad length word is refused as soon as it arrives; the bytes after it are ignored.
    Bytes badLength = Request(1, kTestCount);
    badLength[1] ^= 0x04;
    host.Send(Bytes(badLength.begin(), badLength.begin() + 3));
    EXPECT_EQ(host.ReadPending(), Bytes{0xFF});
    host.WriteRaw(Bytes(badLength.begin() + 3, badLength.end()), Parity::Space);
    EXPECT_EQ(host.bus->PendingInput(), 0u);

    EXPECT_FALSE(host.bus->Unit(1)->HasValue("testCount"));
    EXPECT_EQ(host.bus->Unit(1)->Counters().framesRejected, 2u);
}

TEST_F(SimExchangeTest, LongestFrameIsEchoed) {
    SimHost host("sim");
    Bytes data(1023);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    const Bytes reply = host.Exchange(Request(1, kTestEcho, data));
    ASSERT_EQ(reply.size(), 1u + 1030u);
    EXPECT_EQ(reply[2], 0x0B);
    EXPECT_EQ(reply[3], 0xFF);
    EXPECT_EQ(reply, Concat({kAck}, Answer(1, kTestEcho, data)));
}

TEST_F(SimExchangeTest, HandlerThatThrowsRefusesInsteadOfStoppingTheBus) {
    SimHost host("sim");
    host.bus->Unit(1)->SetHandler(
        42, [](SimUnit&, std::span<const uint8_t>) -> SimAnswer { throw std::runtime_error("x"); });
    EXPECT_EQ(host.Exchange(Request(1, 42)), Concat({kAck}, Answer(1, BAD_PRM, {0, 110})));
    EXPECT_EQ(host.Exchange(Request(1, kTestEcho)), Concat({kAck}, Answer(1, kTestEcho)));
}

class Drive : public UnitModel {
  public:
    void Install(SimUnit& unit) override {
        unit.SetHandler(36, [this](SimUnit&, std::span<const uint8_t> data) {
            target = data.empty() ? 0 : data[0];
            return PositiveAnswer(36);
        });
    }
    int target = -1;
};

TEST_F(SimExchangeTest, AttachedModelAnswersItsCommands) {
    SimHost host("sim");
    host.bus->Unit(1)->AttachModel(std::make_unique<Drive>());
    EXPECT_EQ(host.Exchange(Request(1, 36, {5})), Concat({kAck}, Answer(1, 36)));
    ASSERT_NE(host.bus->Unit(1)->ModelAs<Drive>(), nullptr);
    EXPECT_EQ(host.bus->Unit(1)->ModelAs<Drive>()->target, 5);
}

}  // namespace
}  // namespace kelcmd::sim::testing
