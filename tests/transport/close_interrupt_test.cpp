// A close from another thread while an exchange waits for a unit that never answers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/pty_pair.h"
#include "transport/frame_exchange.h"
#include "transport/kel_port.h"
#include "transport/serial_line.h"

namespace kelcmd {
namespace {

using Clock = std::chrono::steady_clock;

CFrameExchange Request(uint8_t destination) {
    CFrameExchange exchange;
    exchange.message[0] = destination;
    exchange.message[4] = 48;
    exchange.BuildFrame(0);
    exchange.answerTimeout = 0;  // the answer awaited without limit
    return exchange;
}

TEST(CloseFromAnotherThread, EndsABlockedExchangeAtOnceAndLeavesNoInterruptBehind) {
    kelcmd::testing::PtyPair pty;
    CKelPort port;
    CPortSettings settings;
    settings.Set(pty.SlavePath(), 19200, AUTO_CONTROL, 10000, 4);  // 10 s to each acknowledge
    port.SetSettings(settings);
    ASSERT_EQ(port.OpenLine(), 0);

    uint8_t result = 0;
    Clock::time_point ended;
    std::thread exchange([&] {
        CFrameExchange request = Request(1);
        result = port.Transfer(request);
        ended = Clock::now();
    });
    ASSERT_FALSE(pty.Read(7).empty());  // the request is out: the exchange now waits
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const Clock::time_point closing = Clock::now();
    EXPECT_EQ(port.CloseLine(), 0);
    exchange.join();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(ended - closing);
    std::printf("the exchange ended %lld ms after the close began\n",
                static_cast<long long>(took.count()));
    EXPECT_LT(took.count(), 1000);
    EXPECT_NE(result, 0);
    EXPECT_FALSE(port.IsLineOpen());

    // Opened again, the line waits as before: the interrupt ended with the close.
    ASSERT_EQ(port.OpenLine(), 0);
    CFrameExchange group = Request(200);  // a group address: nothing comes back, nothing awaited
    group.answerTimeout = 100;
    EXPECT_EQ(port.Transfer(group), 0);
    EXPECT_EQ(port.CloseLine(), 0);
}

}  // namespace
}  // namespace kelcmd
