// The bus tap against simulated units: each thing on the wire once, in order, with the judged
// result last; subscribers that never hold up the line.
#include "transport/bus_tap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "kelcmd/kelcmd.h"
#include "sim/fault.h"
#include "sim/sim_answer.h"
#include "sim/sim_unit.h"
#include "support/sim_port.h"
#include "transport/frame.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using std::chrono::milliseconds;
using testing::SimPort;

// "request", "acknowledge 0", "answer 11", ... of each event.
std::vector<std::string> Kinds(const std::vector<BusEvent>& events) {
    std::vector<std::string> kinds;
    for (const BusEvent& event : events) {
        std::string kind = BusEventKindName(event.kind);
        if (event.kind != BusEventKind::kRequest && event.kind != BusEventKind::kResendRequest) {
            kind += " " + std::to_string(event.result);
        }
        kinds.push_back(kind);
    }
    return kinds;
}

// A frame's bytes end with the CRC of the bytes before it.
bool CarriesItsCrc(const std::vector<uint8_t>& frame) {
    if (frame.size() < kHeaderSize + 2) return false;
    const uint16_t crc = FrameCrc(std::span<const uint8_t>(frame.data(), frame.size() - 2));
    return frame[frame.size() - 2] == (crc >> 8) && frame.back() == (crc & 0xFF);
}

TEST(BusTap, GoodExchangeIsOneRequestAcknowledgeAnswerAndResult) {
    SimPort port(70);
    ASSERT_EQ(port.openResult, 0);
    TapSubscription tap(port.name);
    ASSERT_EQ(MP_ClearError(port.name.c_str(), 1), 1);

    const std::vector<BusEvent> events = tap.TakeAll();
    ASSERT_EQ(Kinds(events),
              (std::vector<std::string>{"request", "acknowledge 0", "answer 0", "result 0"}));
    EXPECT_TRUE(CarriesItsCrc(events[0].bytes));
    EXPECT_EQ(events[0].bytes[0], 1);
    EXPECT_EQ(events[0].direction, BusDirection::kOut);
    EXPECT_EQ(events[1].bytes.size(), 1u);
    EXPECT_EQ(events[1].direction, BusDirection::kIn);
    EXPECT_TRUE(CarriesItsCrc(events[2].bytes));
    EXPECT_EQ(events[2].bytes[4], events[0].bytes[4]);  // the answer repeats the request's mtype
    EXPECT_FALSE(events[3].refused);
    EXPECT_EQ(events[3].trials, 1u);
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].port, port.name);
        EXPECT_EQ(events[i].exchange, events[0].exchange);
        if (i > 0) {
            EXPECT_GE(events[i].timeNs, events[i - 1].timeNs);
        }
    }
    EXPECT_EQ(tap.Dropped(), 0u);
}

TEST(BusTap, RefusalDamagedAnswerAndRawPacketsShowAsSuch) {
    SimPort port(71);
    ASSERT_EQ(port.openResult, 0);
    TapSubscription tap(port.name);

    // Current commands are refused with CMD_FAIL (0) while the unit regulates position.
    EXPECT_EQ(MP_SetCurrent(port.name.c_str(), 1, 100), 0);
    std::vector<BusEvent> events = tap.TakeAll();
    ASSERT_EQ(Kinds(events),
              (std::vector<std::string>{"request", "acknowledge 0", "answer 0", "result 0"}));
    EXPECT_TRUE(events[3].refused);
    EXPECT_EQ(events[3].unitError, CMD_FAIL);
    EXPECT_EQ(events[3].warning, WARN_CURREGOFF);

    // A damaged CRC is asked for again; the second answer is good.
    port.Unit(1).Misbehave(sim::Fault::CorruptCrc, 1);
    EXPECT_EQ(MP_ClearError(port.name.c_str(), 1), 1);
    events = tap.TakeAll();
    EXPECT_EQ(Kinds(events),
              (std::vector<std::string>{"request", "acknowledge 0", "answer 11", "resend",
                                        "acknowledge 0", "answer 0", "result 0"}));
    EXPECT_FALSE(CarriesItsCrc(events[2].bytes));
    EXPECT_EQ(events.back().trials, 2u);

    // A frame to a unit that is not there; then the raw packet layer.
    EXPECT_EQ(MP_ClearError(port.name.c_str(), 9), 0);
    events = tap.TakeAll();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(Kinds(events).front(), "request");
    EXPECT_EQ(Kinds(events)[1], "timeout " + std::to_string(XMT_ERR_TACK));
    EXPECT_EQ(Kinds(events).back(), "result " + std::to_string(XMT_ERR_TACK));

    KebPacket packet{};
    packet.dest = 1;
    packet.mtype = 200;  // an echo of the data
    packet.length = 0;
    EXPECT_EQ(MP_KEB_SendPacket(port.name.c_str(), &packet), 0);
    EXPECT_EQ(MP_KEB_ReceivePacket(port.name.c_str(), &packet, 100), 0);
    EXPECT_EQ(Kinds(tap.TakeAll()), (std::vector<std::string>{"request", "acknowledge 0",
                                                              "result 0", "answer 0", "result 0"}));
}

// An answer too short for the command's values fails the command: the tap says so, not "OK".
TEST(BusTap, ShortAnswerClosesItsExchangeAsBadLength) {
    SimPort port(72);
    ASSERT_EQ(port.openResult, 0);
    port.Unit(1).SetHandler(48, [](sim::SimUnit&, std::span<const uint8_t>) {
        sim::SimAnswer answer;
        answer.mtype = 48;
        answer.data = {1, 2};  // a position has four bytes
        return answer;
    });
    TapSubscription tap(port.name);
    int32_t position = 0;
    EXPECT_EQ(MP_ReadPosition(port.name.c_str(), 1, &position), 0);
    const std::vector<BusEvent> events = tap.TakeAll();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().result, BAD_LEN);
    EXPECT_FALSE(events.back().refused);
}

TEST(BusTap, SubscribersChooseTheirPortWithoutRegardToCase) {
    SimPort port(72);
    SimPort other(73);
    ASSERT_EQ(port.openResult, 0);
    ASSERT_EQ(other.openResult, 0);
    TapSubscription lower("com72");
    TapSubscription every;
    TapSubscription elsewhere(other.name);

    ASSERT_EQ(MP_ClearError(port.name.c_str(), 1), 1);
    EXPECT_EQ(lower.TakeAll().size(), 4u);
    EXPECT_EQ(every.TakeAll().size(), 4u);
    EXPECT_TRUE(elsewhere.TakeAll().empty());
}

TEST(BusTapThread, BlockedSubscriberDropsWithoutHoldingUpTheLine) {
    SimPort port(74);
    ASSERT_EQ(port.openResult, 0);
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::atomic<int> delivered{0};
    uint64_t dropped = 0;
    {
        TapSubscription stuck(port.name, 2, [&](const BusEvent&) {
            std::unique_lock<std::mutex> lock(mutex);
            released.wait(lock, [&] { return release; });
            ++delivered;
        });
        TapSubscription watching(port.name);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 10; ++i) ASSERT_EQ(MP_ClearError(port.name.c_str(), 1), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(watching.TakeAll().size(), 40u);  // the other subscriber lost nothing
        // The stuck one holds an event or two in its handler and two in its queue.
        dropped = stuck.Dropped();
        EXPECT_GE(dropped, 36u);
        {
            std::lock_guard<std::mutex> guard(mutex);
            release = true;
        }
        released.notify_all();
    }
    EXPECT_EQ(delivered.load() + dropped, 40u);  // what was queued is still delivered
}

TEST(BusTapThread, HandlerMayRunACommandOnTheSamePort) {
    for (const auto delivery :
         {TapSubscription::Delivery::kWorker, TapSubscription::Delivery::kInCaller}) {
        SimPort port(75);
        ASSERT_EQ(port.openResult, 0);
        std::promise<int> answered;
        std::atomic<bool> asked{false};
        TapSubscription tap(
            port.name, TapSubscription::kDefaultCapacity,
            [&](const BusEvent& event) {
                if (event.kind == BusEventKind::kResult && !asked.exchange(true)) {
                    answered.set_value(MP_ClearError(port.name.c_str(), 1));
                }
            },
            delivery);
        ASSERT_EQ(MP_ClearError(port.name.c_str(), 1), 1);
        std::future<int> result = answered.get_future();
        ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(result.get(), 1);
    }
}

}  // namespace
}  // namespace kelcmd
