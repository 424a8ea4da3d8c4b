// Remote ports through a real mosquitto broker and the broker client plugin, against the
// bridge's exchange service on simulated units in this process.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "exchange_service.h"
#include "kelcmd/kelcmd.h"
#include "mosquitto_broker.h"
#include "mqtt_client.h"
#include "sim/sim_answer.h"
#include "support/sim_port.h"

namespace kelcmd {
namespace {

using namespace std::chrono_literals;
using testing::MosquittoBroker;
using testing::SimPort;

constexpr uint8_t kMoveAbsoluteCode = 36;
constexpr uint8_t kReadPositionCode = 48;

std::vector<uint8_t> BigEndian(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
            static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)};
}

// A bridge for one simulated bus: its own broker connection with the online status (again after
// every reconnect), and the exchange service of the bus.
struct InProcessBridge {
    InProcessBridge(const MosquittoBroker& broker, const std::string& base, const std::string& port)
        : client([&] {
              mqtt::ClientOptions options;
              options.port = broker.Port();
              options.host = broker.Host();
              options.will = Status(base, "offline");
              return options;
          }()) {
        client.OnConnection([this, base](bool up) {
            if (up) client.Publish(Status(base, "online"));
        });
        service = std::make_unique<bridge::ExchangeService>(client, base, port);
        client.Start();
        client.WaitConnected(5s);
    }
    static mqtt::Message Status(const std::string& base, const std::string& text) {
        mqtt::Message message;
        message.topic = base + "/status";
        message.payload = text;
        message.qos = 1;
        message.retain = true;
        return message;
    }
    mqtt::Client client;
    std::unique_ptr<bridge::ExchangeService> service;
};

// The unit counts every MoveAbsolute by its target and reports the last target as its position.
struct CountingUnit {
    explicit CountingUnit(sim::SimUnit& unit) {
        unit.SetHandler(kMoveAbsoluteCode, [this](sim::SimUnit&, std::span<const uint8_t> data) {
            std::lock_guard guard(lock);
            last = static_cast<int32_t>(uint32_t{data[0]} << 24 | uint32_t{data[1]} << 16 |
                                        uint32_t{data[2]} << 8 | data[3]);
            ++moves[last];
            return sim::PositiveAnswer(kMoveAbsoluteCode, std::vector<uint8_t>(32, 0));
        });
        unit.SetHandler(kReadPositionCode, [this](sim::SimUnit&, auto) {
            std::lock_guard guard(lock);
            return sim::PositiveAnswer(kReadPositionCode, BigEndian(last));
        });
    }
    std::mutex lock;
    int32_t last = -1;
    std::map<int32_t, int> moves;
};

class RemoteBrokerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(broker.Start()) << broker.Log();
        bridge = std::make_unique<InProcessBridge>(broker, "kelcmd/" + local.name, local.name);
        device = "mqtt://127.0.0.1:" + std::to_string(broker.Port()) + "/kelcmd/" + local.name;
    }
    void TearDown() override {
        KEB_CloseKelBusPort(kHost);
        KEB_MapPort(kHost, "");
    }
    uint8_t OpenHost(const std::string& options = "") {
        KEB_MapPort(kHost, (device + options).c_str());
        return KEB_InitKelBus(19200, kHost, KEB_RTS_CONTROL, 50, 4);
    }

    static constexpr const char* kHost = "Com62";
    MosquittoBroker broker;
    SimPort local{61};
    std::unique_ptr<InProcessBridge> bridge;
    std::string device;
};

TEST_F(RemoteBrokerTest, CommandsReachTheBridgesUnitsThroughTheBroker) {
    CountingUnit unit(local.Unit(1));
    ASSERT_EQ(OpenHost(), 0);
    ASSERT_EQ(MP_MoveAbsolute(kHost, 1, 1234, 1000), 1);
    int32_t position = 0;
    ASSERT_EQ(MP_ReadPosition(kHost, 1, &position), 1);
    EXPECT_EQ(position, 1234);
    EXPECT_EQ(unit.moves[1234], 1);
}

TEST_F(RemoteBrokerTest, AnUnreachableBrokerFailsTheOpenWithItsReason) {
    broker.Stop();
    EXPECT_EQ(OpenHost(), KEB_WIN_ERR_OPENCOMM);
    char text[256] = {};
    KEB_GetLastSystemError(nullptr, text, sizeof text);
    EXPECT_NE(std::string(text).find("connect to mqtt://127.0.0.1"), std::string::npos) << text;
}

// The broker goes away in the middle of a run and comes back: the line reconnects, every command
// completes once or fails with a defined result, none runs twice, no value read is wrong.
TEST_F(RemoteBrokerTest, ABrokerRestartDuringARunLosesNothingAndRepeatsNothing) {
    CountingUnit unit(local.Unit(1));
    ASSERT_EQ(OpenHost("?allowance=500"), 0);
    // 200 keep the run short; KELCMD_RESTART_RUN_COMMANDS=1000 makes it the long run.
    const char* wanted = std::getenv("KELCMD_RESTART_RUN_COMMANDS");
    const int kCommands = wanted != nullptr ? std::max(8, std::atoi(wanted)) : 200;
    std::atomic<int> issued{0};
    std::jthread restarter = broker.RestartAt(issued, kCommands / 4, 200ms);
    int succeeded = 0;
    int failedAfterRestart = 0;
    for (int i = 0; i < kCommands; ++i, ++issued) {
        const int32_t target = 1000 + i;
        const int32_t moved = MP_MoveAbsolute(kHost, 1, target, 1000);
        if (moved == 0) {
            KebOutcome outcome{};
            outcome.size = sizeof outcome;
            KEB_GetLastOutcome(&outcome);
            EXPECT_TRUE(outcome.result == KEB_WIN_ERR_WRITECOMM ||
                        outcome.result == KEB_WIN_ERR_READCOMM)
                << int{outcome.result};
            ++failedAfterRestart;
            std::this_thread::sleep_for(20ms);  // the broker is away for a while
            continue;
        }
        ++succeeded;
        int32_t position = 0;
        if (MP_ReadPosition(kHost, 1, &position) == 1) {
            EXPECT_EQ(position, target);
        }
    }
    restarter.join();

    std::lock_guard guard(unit.lock);
    int executed = 0;
    for (const auto& [target, count] : unit.moves) {
        EXPECT_EQ(count, 1) << "move to " << target;
        executed += count;
    }
    EXPECT_GE(executed, succeeded);
    EXPECT_LE(executed, kCommands);
    EXPECT_GT(failedAfterRestart, 0);
    EXPECT_EQ(unit.moves.count(1000 + kCommands - 1), 1u);  // reconnected by the end
}

// A broker that takes connections and never says a word: a connect to it waits.
class SilentBroker {
  public:
    SilentBroker() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(fd_, 4) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentBroker() { ::close(fd_); }
    int Port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

using Clock = std::chrono::steady_clock;

long long MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

std::string LastSystemErrorText() {
    char text[256] = {};
    KEB_GetLastSystemError(nullptr, text, sizeof text);
    return text;
}

// A close or a new open of the port on another thread ends what waits on the remote line at
// once, as on a serial line: an exchange waiting for a bridge that never answers, and an open
// waiting for a broker that never answers.
using RemoteBrokerThreadTest = RemoteBrokerTest;

TEST_F(RemoteBrokerThreadTest, ACloseOrReopenEndsAnExchangeThatWaitsForNoBridge) {
    // No bridge serves this bus: the request goes out and nothing ever comes back.
    device = "mqtt://127.0.0.1:" + std::to_string(broker.Port()) + "/kelcmd/nobody";
    std::atomic<int> requests{0};
    bridge->client.Subscribe("kelcmd/nobody/exchange", 0,
                             [&](const mqtt::Message&) { ++requests; });
    ASSERT_EQ(OpenHost("?allowance=30000"), 0);

    // Ends the exchange waiting on another thread with `interrupt`; its outcome and text.
    const auto interruptedExchange = [&](const std::function<void()>& interrupt) {
        const int before = requests;
        KebOutcome outcome{};
        outcome.size = sizeof outcome;
        std::string reason;
        Clock::time_point ended;
        std::thread waiting([&] {
            int32_t position = 0;
            EXPECT_EQ(MP_ReadPosition(kHost, 1, &position), 0);
            ended = Clock::now();
            KEB_GetLastOutcome(&outcome);
            reason = LastSystemErrorText();
        });
        for (int i = 0; i < 500 && requests == before; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_GT(requests, before) << "the request never reached the broker";
        const Clock::time_point interrupting = Clock::now();
        interrupt();
        waiting.join();
        const long long took = MillisecondsBetween(interrupting, ended);
        std::printf("the exchange ended %lld ms after the interrupt began\n", took);
        EXPECT_LT(took, 1000);
        EXPECT_EQ(outcome.result, KEB_WIN_ERR_READCOMM);
        EXPECT_EQ(outcome.mayHaveExecuted, 1u);  // the request was out
        EXPECT_NE(reason.find("closed from another thread"), std::string::npos) << reason;
    };
    interruptedExchange([&] { EXPECT_EQ(OpenHost("?allowance=30000"), 0); });
    interruptedExchange([&] { EXPECT_EQ(KEB_CloseKelBusPort(kHost), 0); });
}

TEST_F(RemoteBrokerThreadTest, ACloseEndsAReopenThatWaitsForASilentBroker) {
    ASSERT_EQ(OpenHost(), 0);
    SilentBroker silent;
    ASSERT_NE(silent.Port(), 0);
    uint8_t reopened = 0;
    std::string reason;
    Clock::time_point ended;
    std::thread reopening([&] {
        KEB_MapPort(kHost,
                    ("mqtt://127.0.0.1:" + std::to_string(silent.Port()) + "/kelcmd/x").c_str());
        reopened = KEB_InitKelBus(19200, kHost, KEB_RTS_CONTROL, 50, 4);
        ended = Clock::now();
        reason = LastSystemErrorText();
    });
    std::this_thread::sleep_for(200ms);  // the reopen now waits for the broker's answer
    const Clock::time_point closing = Clock::now();
    KEB_CloseKelBusPort(kHost);
    reopening.join();
    const long long took = MillisecondsBetween(closing, ended);
    std::printf("the reopen ended %lld ms after the close began\n", took);
    EXPECT_LT(took, 1000);
    EXPECT_EQ(reopened, KEB_WIN_ERR_OPENCOMM);
    EXPECT_NE(reason.find("closed from another thread"), std::string::npos) << reason;
}

}  // namespace
}  // namespace kelcmd
