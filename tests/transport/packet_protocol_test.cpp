// The packet protocol against simulated units: the bytes that go on the wire, the acknowledge and
// answer rules, and every failure code with the retries it causes.
#include "transport/packet_protocol.h"

#include <gtest/gtest.h>

#include "sim/fault.h"
#include "sim/test_commands.h"
#include "support/sim_line.h"
#include "transport/frame.h"
#include "transport/result_codes.h"
#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

using sim::Fault;
using testing::MakeRequest;
using testing::SimLine;

constexpr uint8_t kEcho = sim::kTestEcho;

std::vector<uint8_t> ResendFrame(uint8_t dest) {
    std::vector<uint8_t> frame = {dest, 0x00, 0x00, 0x00, 0xFF};
    const uint16_t crc = FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    return frame;
}

TEST(FrameChecks, CrcAndLengthWordVectors) {
    const std::string abc = "abc";
    const std::string digits = "123456789";
    EXPECT_EQ(FrameCrc({reinterpret_cast<const uint8_t*>(abc.data()), abc.size()}), 0x1EE4);
    EXPECT_EQ(FrameCrc({reinterpret_cast<const uint8_t*>(digits.data()), digits.size()}), 0xBEEF);
    EXPECT_EQ(LengthWord(0), 0x0000);
    EXPECT_EQ(LengthWord(1), 0xFC01);
    EXPECT_EQ(LengthWord(5), 0xEC05);
    EXPECT_EQ(LengthWord(1023), 0x0BFF);
    EXPECT_TRUE(LengthWordValid(0xEC05));
    EXPECT_FALSE(LengthWordValid(0xEC06));
}

TEST(PacketProtocol, RequestGoesOutAddressByteFirstWithTheNinthBit) {
    SimLine sim;
    ASSERT_EQ(sim.openResult, 0);
    auto request = MakeRequest(1, kEcho, {0x12, 0x34});
    ASSERT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);

    const auto log = sim.bus->WireLog();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_TRUE(log[0].ninthBit);
    EXPECT_EQ(log[0].value, 1);
    for (size_t i = 1; i < log.size(); ++i) EXPECT_FALSE(log[i].ninthBit) << i;
    const std::vector<uint8_t> header = {1, 0xF8, 0x02, 0x00, kEcho, 0x12, 0x34};
    const uint16_t crc = FrameCrc(header);
    std::vector<uint8_t> expected = header;
    expected.push_back(crc >> 8);
    expected.push_back(crc & 0xFF);
    EXPECT_EQ(sim.bus->WrittenBytes(), expected);

    const FrameBuffer& answer = request->GetAnswerBuffer();
    EXPECT_TRUE(request->IsAnswerReceived());
    EXPECT_EQ(request->GetAnswerLength(), 2);
    EXPECT_EQ(answer[0], 0);
    EXPECT_EQ(answer[3], 1);  // the unit's address as sender
    EXPECT_EQ(answer[4], kEcho);
    EXPECT_EQ(answer[kDataOffset], 0x12);
    EXPECT_EQ(answer[kDataOffset + 1], 0x34);
    EXPECT_EQ(request->GetTrials(), 1u);
}

TEST(PacketProtocol, EmptyRequestIsSevenBytes) {
    SimLine sim;
    auto request = MakeRequest(1, kEcho);
    ASSERT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0].size(), 7u);
    EXPECT_EQ(frames[0][1], 0);
    EXPECT_EQ(frames[0][2], 0);
    EXPECT_EQ(frames[0][3], 0);
    EXPECT_EQ(frames[0][4], kEcho);
}

TEST(PacketProtocol, AutoControlSendsTheSameBytes) {
    SimLine sim("1", 50, 4, AUTO_CONTROL);
    auto request = MakeRequest(1, kEcho, {7});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_EQ(sim.Frames().size(), 1u);
    EXPECT_FALSE(sim.line.IsRtsRaised());
}

TEST(PacketProtocol, BroadcastAddressesAreNotAcknowledgedOrAnswered) {
    SimLine sim;
    auto request = MakeRequest(200, kEcho);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_FALSE(request->IsAnswerReceived());
    EXPECT_EQ(sim.Frames().size(), 1u);
    EXPECT_EQ(sim.bus->Counters().acksSent, 0u);
}

TEST(PacketProtocol, Address254IsAcknowledgedButNotAnswered) {
    SimLine sim;
    sim.Unit(1).AddGroup(254);
    auto request = MakeRequest(254, kEcho);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_FALSE(request->IsAnswerReceived());
    EXPECT_EQ(sim.bus->Counters().acksSent, 1u);
    EXPECT_EQ(sim.Frames().size(), 1u);
}

TEST(PacketProtocol, AcknowledgeOnlyRequestIsRetransmittedUntilAcknowledged) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::DropAck, sim::kAlways);
    auto request = MakeRequest(1, 8, {1});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), XMT_ERR_TACK);
    EXPECT_EQ(sim.Frames().size(), 4u);

    SimLine second;
    second.Unit(1).Misbehave(Fault::DropAck, 2);
    auto again = MakeRequest(1, 8, {1});
    EXPECT_EQ(Transfer(second.line, 4, again->Exchange()), 0);
    EXPECT_EQ(second.Frames().size(), 3u);
    EXPECT_FALSE(again->IsAnswerReceived());
}

TEST(PacketProtocol, AcknowledgeValues) {
    for (uint8_t value : {0x01, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE}) {
        EXPECT_TRUE(IsPositiveAcknowledge(value)) << int(value);
    }
    for (uint8_t value : {0x00, 0x02, 0x7F, 0xFF, 0x81}) {
        EXPECT_FALSE(IsPositiveAcknowledge(value)) << int(value);
    }
    SimLine sim;
    sim.Unit(1).SetAckValue(0xE0);
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(Transmit(sim.line, request->Exchange()), 0);

    sim.Unit(1).Misbehave(Fault::CorruptAck, 1, 0x00);
    EXPECT_EQ(Transmit(sim.line, request->Exchange()), XMT_ERR_ACK);
    sim.Unit(1).Misbehave(Fault::NakAck);
    EXPECT_EQ(Transmit(sim.line, request->Exchange()), XMT_ERR_CRC);
}

TEST(PacketProtocol, LostAcknowledgeWithAnAnswerIsJudgedOnTheAnswer) {
    // The answer's first byte arrives where the acknowledge was awaited; whether the acknowledge
    // was lost or came as a damaged 0x00, the answer is taken whole, with or without data, and
    // nothing is sent a second time.
    for (const bool lost : {true, false}) {
        for (const std::vector<uint8_t>& data : {std::vector<uint8_t>{5}, std::vector<uint8_t>{}}) {
            SimLine sim;
            if (lost) {
                sim.Unit(1).Misbehave(Fault::DropAck, sim::kAlways);
            } else {
                sim.Unit(1).Misbehave(Fault::CorruptAck, sim::kAlways, 0x00);
            }
            auto request = MakeRequest(1, kEcho, data);
            EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0) << lost << data.size();
            EXPECT_EQ(sim.Frames().size(), 1u) << lost << data.size();
            EXPECT_EQ(sim.Unit(1).Counters().commandsExecuted, 1u);
            EXPECT_EQ(request->Exchange().answerLength, data.size());
            if (!data.empty()) {
                EXPECT_EQ(request->GetAnswerBuffer()[kDataOffset], 5);
            }
            EXPECT_TRUE(UnitMayHaveActed());
        }
    }
    // A damaged answer is asked for again although every acknowledge is lost.
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::DropAck, sim::kAlways);
    sim.Unit(1).Misbehave(Fault::CorruptCrc, 1);
    auto request = MakeRequest(1, kEcho, {7});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], ResendFrame(1));
    EXPECT_EQ(sim.Unit(1).Counters().commandsExecuted, 1u);
}

TEST(PacketProtocol, TellsWhetherTheUnitMayHaveActed) {
    struct Case {
        Fault fault;
        uint8_t expected;
        bool mayHaveActed;
    };
    const Case cases[] = {
        {Fault::Silent, XMT_ERR_TACK, false},
        {Fault::NakAck, XMT_ERR_CRC, false},
        {Fault::AckNoAnswer, RCV_ERR_T0, true},
        {Fault::CorruptLength, RCV_ERR_LENGTH, true},
    };
    for (const Case& c : cases) {
        SimLine sim;
        sim.Unit(1).Misbehave(c.fault, sim::kAlways);
        auto request = MakeRequest(1, kEcho, {}, 30);
        EXPECT_EQ(Transfer(sim.line, 2, request->Exchange()), c.expected);
        EXPECT_EQ(UnitMayHaveActed(), c.mayHaveActed) << int(c.expected);
    }
}

TEST(PacketProtocol, CorruptedAcknowledgeWithAnAnswerIsTaken) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::CorruptAck, 1, 0x42);
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_EQ(sim.Frames().size(), 1u);
}

TEST(PacketProtocol, SilentUnitIsTriedFourTimes) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::Silent, sim::kAlways);
    auto request = MakeRequest(1, kEcho, {}, 30);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), XMT_ERR_TACK);
    EXPECT_EQ(sim.Frames().size(), 4u);
}

TEST(PacketProtocol, SilentOnceThenAnswered) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::Silent, 1);
    auto request = MakeRequest(1, kEcho, {9}, 30);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_EQ(sim.Frames().size(), 2u);
}

TEST(PacketProtocol, NegativeAcknowledgeIsRetransmitted) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::NakAck, sim::kAlways);
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), XMT_ERR_CRC);
    EXPECT_EQ(sim.Frames().size(), 4u);
}

TEST(PacketProtocol, WrongFirstByteFailsAtOnceAndIsResent) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::WrongFirstByte, 1, 5);
    auto request = MakeRequest(1, kEcho, {3});
    EXPECT_EQ(Receive(sim.line, request->Exchange()), RCV_ERR_T0);  // nothing pending yet

    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], ResendFrame(1));
    EXPECT_EQ(request->Exchange().trials, 2u);
    EXPECT_EQ(request->GetAnswerBuffer()[kDataOffset], 3);
}

TEST(PacketProtocol, ReceiveReportsEachDamage) {
    struct Case {
        Fault fault;
        std::optional<uint32_t> parameter;
        uint8_t expected;
        bool answerReceived;
    };
    const Case cases[] = {
        {Fault::WrongFirstByte, 5, RCV_ERR_ID, false},
        {Fault::CorruptLength, std::nullopt, RCV_ERR_LENGTH, false},
        {Fault::CorruptCrc, std::nullopt, RCV_ERR_CRC, true},
        {Fault::CutAnswer, 8, RCV_ERR_T1, false},  // cut after the data, before the CRC
        {Fault::CutAnswer, 2, RCV_ERR_T1, false},  // cut inside the length word
        {Fault::AckNoAnswer, std::nullopt, RCV_ERR_T0, false},
        {Fault::LateAnswer, 400, RCV_ERR_T0, false},
    };
    for (const Case& c : cases) {
        SimLine sim;
        sim.Unit(1).Misbehave(c.fault, 1, c.parameter);
        auto request = MakeRequest(1, kEcho, {1, 2, 3}, 60);
        ASSERT_EQ(Transmit(sim.line, request->Exchange()), 0);
        EXPECT_EQ(Receive(sim.line, request->Exchange()), c.expected) << int(c.fault);
        EXPECT_EQ(request->IsAnswerReceived(), c.answerReceived) << int(c.fault);
    }
}

TEST(PacketProtocol, DamagedAnswersAreResentUpToTheReceiveTrials) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::CorruptCrc, sim::kAlways);
    auto request = MakeRequest(1, kEcho, {1});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), RCV_ERR_CRC);
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 4u);  // the request and three resend requests
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i], ResendFrame(1));
    EXPECT_EQ(request->Exchange().trials, 4u);
    EXPECT_TRUE(request->IsAnswerReceived());
}

TEST(PacketProtocol, OneReceiveTrialAsksForNoResend) {
    SimLine sim("1", 50, 1);
    sim.Unit(1).Misbehave(Fault::CorruptCrc);
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), RCV_ERR_CRC);
    EXPECT_EQ(sim.Frames().size(), 1u);
}

TEST(PacketProtocol, ResentAnswerIsTheSameAnswerNotARepeatedExecution) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::CorruptCrc);
    auto request = MakeRequest(1, sim::kTestCount);
    ASSERT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    const FrameBuffer& answer = request->GetAnswerBuffer();
    EXPECT_EQ(answer[kDataOffset + 3], 1);  // executed once
    EXPECT_EQ(sim.Unit(1).Counters().resendsServed, 1u);
}

TEST(PacketProtocol, MissingAnswerIsNotResent) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::AckNoAnswer);
    auto request = MakeRequest(1, kEcho, {}, 40);
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), RCV_ERR_T0);
    EXPECT_EQ(sim.Frames().size(), 1u);
}

TEST(PacketProtocol, AnswerAfterTheCharacterTimeoutIsCut) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::CutAnswer, sim::kAlways, 8);
    auto request = MakeRequest(1, kEcho, {1, 2, 3});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), RCV_ERR_T1);
    // A cut answer on the first attempt is resent three times; the request is sent once more only
    // when the acknowledge failed.
    EXPECT_EQ(sim.Frames().size(), 4u);
}

TEST(PacketProtocol, RetryingTransmitTransmitsUntilAcknowledged) {
    SimLine sim;
    sim.Unit(1).Misbehave(Fault::DropAck, 2);
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(TransmitWithRetry(sim.line, request->Exchange()), 0);
    EXPECT_EQ(sim.Frames().size(), 3u);

    SimLine none("1", 50, 0);
    EXPECT_EQ(TransmitWithRetry(none.line, request->Exchange()), 1);
    EXPECT_TRUE(none.Frames().empty());
}

TEST(PacketProtocol, ClosedLineAndMissingCommand) {
    CSerialLine closed;
    auto request = MakeRequest(1, kEcho);
    EXPECT_EQ(Transmit(closed, request->Exchange()), WIN_ERR_WRITECOMM);
    EXPECT_EQ(Receive(closed, request->Exchange()), WIN_ERR_READCOMM);
    SimLine sim;
    EXPECT_TRUE(sim.Frames().empty());
}

TEST(PacketProtocol, PurgeDropsLateBytesOfAnEarlierExchange) {
    SimLine sim;
    sim.bus->InjectInput({0xAA, 0xBB});
    auto request = MakeRequest(1, kEcho, {4});
    EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), 0);
    EXPECT_EQ(request->GetAnswerBuffer()[kDataOffset], 4);
}

// Only an exchange after which an answer may still be on its way makes the next transmit wait
// for a quiet line; a healthy or silent bus pays nothing.
TEST(PacketProtocol, OnlyAFailureWithAnAnswerOnItsWayUnsettlesTheLine) {
    struct Case {
        std::optional<Fault> fault;
        uint8_t expected;
        bool unsettled;
    };
    const Case cases[] = {
        {std::nullopt, RESULT_OK, false},      {Fault::AckNoAnswer, RCV_ERR_T0, true},
        {Fault::LateAnswer, RCV_ERR_T0, true}, {Fault::CorruptCrc, RCV_ERR_CRC, true},
        {Fault::Silent, XMT_ERR_TACK, false},  {Fault::NakAck, XMT_ERR_CRC, false},
    };
    for (const Case& c : cases) {
        SimLine sim("1", 20);
        if (c.fault) sim.Unit(1).Misbehave(*c.fault, sim::kAlways, 300);
        auto request = MakeRequest(1, kEcho, {}, 30);
        EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), c.expected);
        EXPECT_EQ(sim.line.IsUnsettled(), c.unsettled) << int(c.expected);

        sim.Unit(1).ClearFaults();
        EXPECT_EQ(Transfer(sim.line, 4, request->Exchange()), RESULT_OK);
        EXPECT_FALSE(sim.line.IsUnsettled());
    }
}

}  // namespace
}  // namespace kelcmd
