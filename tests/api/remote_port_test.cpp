// A port on a remote bus: what the host sees when the broker, the bridge or a reply fails, and
// that no reply is ever taken for another exchange's and no redelivered request runs twice.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "kelcmd/kelcmd.h"
#include "sim/sim_answer.h"
#include "support/remote_bus.h"
#include "support/sim_port.h"
#include "transport/bus_tap.h"
#include "transport/exchange_message.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::RemoteBus;
using testing::SimPort;

constexpr uint8_t kReadPositionCode = 48;

std::string LastSystemError() {
    char text[256] = {};
    KEB_GetLastSystemError(nullptr, text, sizeof text);
    return text;
}

KebOutcome LastOutcome() {
    KebOutcome outcome{};
    outcome.size = sizeof outcome;
    KEB_GetLastOutcome(&outcome);
    return outcome;
}

uint8_t LastResult() {
    return LastOutcome().result;
}

// The unit answers ReadPosition with 1, 2, 3, ... in turn.
void CountPositions(sim::SimUnit& unit, int32_t& next) {
    unit.SetHandler(kReadPositionCode, [&next](sim::SimUnit&, auto) {
        const auto value = static_cast<uint32_t>(++next);
        return sim::PositiveAnswer(
            kReadPositionCode,
            {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
             static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
    });
}

TEST(RemotePort, ReturnsTheUnitsValuesAndTapsTheBridgesWire) {
    SimPort local(43);
    RemoteBus remote("Com44", "Com43");
    ASSERT_EQ(remote.openResult, 0);
    int32_t next = 41;
    CountPositions(local.Unit(1), next);
    TapSubscription tap("Com44");

    int32_t position = 0;
    ASSERT_EQ(MP_ReadPosition("Com44", 1, &position), 1);
    EXPECT_EQ(position, 42);
    // A unit that is not there: the bridge's own protocol failure comes back as it is.
    EXPECT_EQ(MP_ReadPosition("Com44", 9, &position), 0);
    EXPECT_EQ(LastResult(), XMT_ERR_TACK);

    std::vector<std::string> kinds;
    while (auto event = tap.Next(std::chrono::milliseconds(500))) {
        kinds.push_back(BusEventKindName(event->kind));
        if (event->kind == BusEventKind::kResult) break;
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"request", "acknowledge", "answer", "result"}));
}

TEST(RemotePortThread, ALateReplyIsDroppedNeverTakenByALaterExchange) {
    SimPort local(45);
    RemoteBus remote("Com46", "Com45", "?allowance=20", 30);
    ASSERT_EQ(remote.openResult, 0);
    int32_t next = 0;
    CountPositions(local.Unit(1), next);

    remote.Broker().Delay("kelcmd/bus-Com45/exchange/reply", std::chrono::milliseconds(150));
    int32_t position = 0;
    EXPECT_EQ(MP_ReadPosition("Com46", 1, &position), 0);
    EXPECT_EQ(LastResult(), WIN_ERR_READCOMM);
    EXPECT_EQ(LastOutcome().mayHaveExecuted, 1u);  // the request went out
    EXPECT_NE(LastSystemError().find("no reply in time"), std::string::npos) << LastSystemError();

    // The late reply (position 1) comes while these exchanges wait for theirs.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    int32_t expected = 2;
    while (std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(MP_ReadPosition("Com46", 1, &position), 1);
        ASSERT_EQ(position, expected++);
    }
}

TEST(RemotePort, ALostBrokerOrAnOfflineBridgeIsToldAndPassesOver) {
    SimPort local(47);
    RemoteBus remote("Com48", "Com47");
    ASSERT_EQ(remote.openResult, 0);
    int32_t position = 0;

    remote.Broker().SetUp(false);
    EXPECT_EQ(MP_ReadPosition("Com48", 1, &position), 0);
    EXPECT_EQ(LastResult(), WIN_ERR_WRITECOMM);
    EXPECT_EQ(LastOutcome().mayHaveExecuted, 0u);
    EXPECT_NE(LastSystemError().find("not reached"), std::string::npos) << LastSystemError();
    remote.Broker().SetUp(true);
    EXPECT_EQ(MP_ReadPosition("Com48", 1, &position), 1);

    remote.Broker().PublishRetained(remote.StatusTopic(), "offline");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(MP_ReadPosition("Com48", 1, &position), 0);
    EXPECT_EQ(LastResult(), WIN_ERR_WRITECOMM);
    EXPECT_NE(LastSystemError().find("bridge offline"), std::string::npos) << LastSystemError();
    remote.Broker().PublishRetained(remote.StatusTopic(), "online");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(MP_ReadPosition("Com48", 1, &position), 1);
    EXPECT_EQ(local.FramesWritten(), 2u);
}

TEST(RemotePort, ARedeliveredRequestRunsOnceAndGetsTheSameReply) {
    SimPort local(49);
    ExchangeResponder responder;
    CFrameExchange exchange;
    exchange.message[0] = 1;
    exchange.message[4] = kReadPositionCode;
    exchange.BuildFrame(0);
    const auto request =
        EncodeExchangeRequest(RequestOf(exchange, ExchangeOperation::kExchange, 7));

    const auto first = responder.Answer(*local.Port(), request, "client/7");
    const auto again = responder.Answer(*local.Port(), request, "client/7");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(again, first);
    EXPECT_EQ(local.FramesWritten(), 1u);
    EXPECT_EQ(responder.Duplicates(), 1u);
    const auto reply = DecodeExchangeReply(*first);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->id, 7u);
    EXPECT_EQ(reply->result, 0);
    EXPECT_TRUE(reply->mayHaveExecuted);

    // Nothing readable, nothing on the bus.
    const std::vector<uint8_t> garbage(request.begin(), request.end() - 1);
    EXPECT_FALSE(responder.Answer(*local.Port(), garbage, "client/8").has_value());
    EXPECT_FALSE(responder.Answer(*local.Port(), request, "").has_value());
    EXPECT_EQ(local.FramesWritten(), 1u);
}

TEST(RemotePort, WithoutTheBrokerClientPluginTheOpenSaysWhatIsMissing) {
    KEB_MapPort("Com50", "mqtt://localhost/kelcmd/nowhere");
    EXPECT_EQ(KEB_InitKelBus(19200, "Com50", KEB_RTS_CONTROL, 50, 4), WIN_ERR_OPENCOMM);
    EXPECT_NE(LastSystemError().find("kelcmd-bridge package"), std::string::npos)
        << LastSystemError();
    KEB_CloseKelBusPort("Com50");
    KEB_MapPort("Com50", "");
}

TEST(ExchangeMessage, RoundTripsAndRefusesEveryTruncation) {
    ExchangeReply reply;
    reply.id = 0x0102030405060708;
    reply.result = RCV_ERR_CRC;
    reply.answerReceived = true;
    reply.trials = 2;
    reply.answer = {1, 0xC4, 0x02, 0, 48, 9, 9, 9, 9};
    reply.answerCrc = 0xBEEF;
    reply.systemError = {5, "read", "/dev/ttyUSB0"};
    BusEvent ack;
    ack.kind = BusEventKind::kAcknowledge;
    ack.direction = BusDirection::kIn;
    ack.elapsedNs = 1234;
    ack.bytes = {0x06};
    reply.events = {ack};
    const std::vector<uint8_t> bytes = EncodeExchangeReply(reply);

    const auto decoded = DecodeExchangeReply(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->id, reply.id);
    EXPECT_EQ(decoded->answer, reply.answer);
    EXPECT_EQ(decoded->answerCrc, reply.answerCrc);
    EXPECT_EQ(decoded->systemError.device, "/dev/ttyUSB0");
    ASSERT_EQ(decoded->events.size(), 1u);
    EXPECT_EQ(decoded->events[0].elapsedNs, 1234u);
    EXPECT_EQ(decoded->events[0].bytes, ack.bytes);
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(DecodeExchangeReply({bytes.data(), size}).has_value()) << size;
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(DecodeExchangeReply(longer).has_value());
    std::vector<uint8_t> otherVersion = bytes;
    otherVersion[0] = 2;
    EXPECT_FALSE(DecodeExchangeReply(otherVersion).has_value());
}

}  // namespace
}  // namespace kelcmd
