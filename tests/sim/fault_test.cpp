#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "sim/test_commands.h"
#include "sim_host.h"

namespace kelcmd::sim::testing {
namespace {

constexpr uint8_t kAck = 0x01;

class SimFaultTest : public SimBusTest {
  protected:
    void SetUp() override {
        SimBusTest::SetUp();
        host = std::make_unique<SimHost>("sim");
        unit = host->bus->Unit(1);
    }

    Bytes Echo() { return host->Exchange(Request(1, kTestEcho, {0xAB, 0xCD})); }
    Bytes Count() { return host->Exchange(Request(1, kTestCount)); }
    int64_t Runs() const { return unit->Value("testCount"); }

    const Bytes answer = Answer(1, kTestEcho, {0xAB, 0xCD});
    std::unique_ptr<SimHost> host;
    SimUnit* unit = nullptr;
};

TEST_F(SimFaultTest, DropAckStillRunsAndAnswers) {
    unit->Misbehave(Fault::DropAck);
    EXPECT_EQ(Echo(), answer);
    EXPECT_EQ(Echo(), Concat({kAck}, answer));  // one-shot
}

TEST_F(SimFaultTest, CorruptAckSendsZeroOrTheChosenValue) {
    unit->Misbehave(Fault::CorruptAck);
    EXPECT_EQ(Echo(), Concat({0x00}, answer));
    unit->Misbehave(Fault::CorruptAck, 1, 0x42);
    EXPECT_EQ(Echo(), Concat({0x42}, answer));
}

TEST_F(SimFaultTest, NakAckRefusesWithoutRunning) {
    unit->Misbehave(Fault::NakAck);
    EXPECT_EQ(Count(), Bytes{0xFF});
    EXPECT_EQ(Runs(), 0);
}

TEST_F(SimFaultTest, SilentUnitSendsNothingAndDoesNotRun) {
    unit->Misbehave(Fault::Silent);
    EXPECT_TRUE(Count().empty());
    EXPECT_EQ(Runs(), 0);
    EXPECT_EQ(unit->Counters().framesTaken, 0u);
}

TEST_F(SimFaultTest, AckNoAnswerLosesTheAnswerButAResendRecoversIt) {
    unit->Misbehave(Fault::AckNoAnswer);
    EXPECT_EQ(Count(), Bytes{kAck});
    EXPECT_EQ(host->Exchange(Request(1, 255)), Concat({kAck}, Answer(1, kTestCount, {0, 0, 0, 1})));
    EXPECT_EQ(Runs(), 1);
}

TEST_F(SimFaultTest, CutAnswerStopsAfterTheGivenBytes) {
    unit->Misbehave(Fault::CutAnswer, 1, 4);
    EXPECT_EQ(Echo(), Concat({kAck}, Bytes(answer.begin(), answer.begin() + 4)));
    unit->Misbehave(Fault::CutAnswer);
    EXPECT_EQ(Echo(), Bytes{kAck});
}

TEST_F(SimFaultTest, CorruptCrcInvertsBothCrcBytesAndResendGivesTheGoodAnswer) {
    unit->Misbehave(Fault::CorruptCrc);
    Bytes damaged = answer;
    damaged[answer.size() - 2] ^= 0xFF;
    damaged[answer.size() - 1] ^= 0xFF;
    EXPECT_EQ(Echo(), Concat({kAck}, damaged));
    EXPECT_EQ(host->Exchange(Request(1, 255)), Concat({kAck}, answer));
}

TEST_F(SimFaultTest, CorruptLengthWordFailsItsCheck) {
    unit->Misbehave(Fault::CorruptLength);
    const Bytes reply = Echo();
    ASSERT_EQ(reply.size(), 1 + answer.size());
    EXPECT_FALSE(LengthWordValid(static_cast<uint16_t>((reply[2] << 8) | reply[3])));
    Bytes rest(reply.begin() + 1, reply.end());
    rest[1] = answer[1];
    EXPECT_EQ(rest, answer);  // only the length word differs
}

TEST_F(SimFaultTest, WrongFirstByteIsFiveOrTheChosenValue) {
    unit->Misbehave(Fault::WrongFirstByte);
    Bytes expected = answer;
    expected[0] = 5;
    EXPECT_EQ(Echo(), Concat({kAck}, expected));
    unit->Misbehave(Fault::WrongFirstByte, 1, 0x80);
    expected[0] = 0x80;
    EXPECT_EQ(Echo(), Concat({kAck}, expected));
}

TEST_F(SimFaultTest, LateAnswerArrivesOnlyAfterItsDelay) {
    unit->Misbehave(Fault::LateAnswer, 1, 1000);
    const auto sent = SteadyClock::now();  // before the write: the delay counts from its end
    host->Send(Request(1, kTestEcho, {0xAB, 0xCD}));
    EXPECT_EQ(host->Read(1), Bytes{kAck});
    EXPECT_TRUE(host->Read(1, TotalTimeout(50)).empty());
    EXPECT_EQ(host->Read(answer.size(), TotalTimeout(10000)), answer);
    EXPECT_GE(SteadyClock::now() - sent, std::chrono::milliseconds(1000));
}

TEST_F(SimFaultTest, CountedOrdersExpireAndStandingOrdersStayUntilCleared) {
    unit->Misbehave(Fault::DropAck, 2);
    EXPECT_EQ(Echo(), answer);
    EXPECT_EQ(Echo(), answer);
    EXPECT_EQ(Echo(), Concat({kAck}, answer));
    unit->Misbehave(Fault::NakAck, kAlways);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Echo(), Bytes{0xFF});
    unit->ClearFaults();
    EXPECT_EQ(Echo(), Concat({kAck}, answer));
    unit->Misbehave(Fault::Silent, 0);  // nothing ordered
    EXPECT_EQ(Echo(), Concat({kAck}, answer));
}

TEST_F(SimFaultTest, FaultsCombineOnOneFrame) {
    unit->Misbehave(Fault::DropAck);
    unit->Misbehave(Fault::WrongFirstByte);
    unit->Misbehave(Fault::CutAnswer, 1, 1);
    EXPECT_EQ(Echo(), Bytes{5});
}

TEST_F(SimFaultTest, FaultsHitOnlyTheUnitThatWasOrdered) {
    auto second = host->bus->AddUnit(2);
    second->Misbehave(Fault::Silent, kAlways);
    EXPECT_TRUE(host->Exchange(Request(2, kTestEcho)).empty());
    EXPECT_EQ(Echo(), Concat({kAck}, answer));
}

// Random faults hit about their share of the frames with every kind, the same ones for the same
// seed, and stop when cleared.
TEST_F(SimFaultTest, RandomFaultsHitTheirShareWithEveryKindUntilCleared) {
    auto runDamaged = [&](uint32_t seed) {
        unit->MisbehaveAtRandom({0.5, seed, 1});
        std::vector<bool> damaged;
        for (int i = 0; i < 400; ++i) damaged.push_back(Echo() != Concat({kAck}, answer));
        unit->ClearFaults();
        return damaged;
    };
    const std::vector<bool> first = runDamaged(3);
    const auto injected = unit->Counters().faultsInjected;
    const uint64_t total = std::accumulate(injected.begin(), injected.end(), uint64_t{0});
    EXPECT_GT(total, 150u);
    EXPECT_LT(total, 250u);
    for (uint64_t count : injected) EXPECT_GT(count, 0u);
    EXPECT_EQ(runDamaged(3), first);
    EXPECT_EQ(Echo(), Concat({kAck}, answer));
}

}  // namespace
}  // namespace kelcmd::sim::testing
