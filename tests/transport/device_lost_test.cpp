// A serial line whose device goes away: unplugged between commands or during one, and found again
// behind the same path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/pty_pair.h"
#include "platform/system_error.h"
#include "transport/frame_exchange.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"
#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

using kelcmd::testing::PtyPair;
using Clock = std::chrono::steady_clock;

CFrameExchange Request(uint8_t destination, uint32_t answerTimeout = 100) {
    CFrameExchange exchange;
    exchange.message[0] = destination;
    exchange.message[4] = 48;
    exchange.BuildFrame(0);
    exchange.answerTimeout = answerTimeout;
    return exchange;
}

// A link like /dev/serial/by-id/...: the same name for whichever tty the adapter got.
class DeviceLink {
  public:
    DeviceLink() : path_(::testing::TempDir() + "kelcmd-by-id-" + std::to_string(::getpid())) {}
    ~DeviceLink() { std::remove(path_.c_str()); }
    bool PointTo(const std::string& target) const {
        std::remove(path_.c_str());
        return ::symlink(target.c_str(), path_.c_str()) == 0;
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

void ExpectLost(const CSerialLine& line) {
    EXPECT_TRUE(line.IsDeviceLost());
    EXPECT_TRUE(line.IsOpen());  // for its port: the next command looks for the device again
    const std::string reason = DescribeSystemError(line.GetLastSystemError());
    EXPECT_NE(reason.find("device lost"), std::string::npos) << reason;
    EXPECT_EQ(DescribeSystemError(ThreadSystemError()), reason);
}

TEST(DeviceLost, UnpluggedBetweenCommandsThenFoundAgainBehindTheSameLink) {
    DeviceLink link;
    auto first = std::make_unique<PtyPair>();
    ASSERT_TRUE(link.PointTo(first->SlavePath()));
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, link.Path(), AUTO_CONTROL, 50, 4), 0);
    CFrameExchange group = Request(200);  // a group address: nothing comes back
    ASSERT_EQ(line.Exchange(group, 1, {}), 0);

    first.reset();  // unplugged
    EXPECT_NE(line.Exchange(group, 1, {}), 0);
    ExpectLost(line);

    // Still away: the open fails with its own reason, and the line keeps looking.
    EXPECT_EQ(line.Exchange(group, 1, {}), WIN_ERR_OPENCOMM);
    EXPECT_TRUE(line.IsDeviceLost());

    PtyPair second;  // plugged in again, under another number
    ASSERT_TRUE(link.PointTo(second.SlavePath()));
    ASSERT_EQ(line.Exchange(group, 1, {}), 0);
    EXPECT_FALSE(line.IsDeviceLost());
    EXPECT_EQ(second.Read(group.messageLength + 7u).size(), group.messageLength + 7u);
    EXPECT_EQ(line.Close(), 0);
    EXPECT_FALSE(line.IsOpen());
}

TEST(DeviceLost, UnpluggedWhileWaitingForTheAnswer) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), AUTO_CONTROL, 2000, 4), 0);
    std::thread unplug([&pty] {
        (void)pty.Read(7);  // the request
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pty.CloseMaster();
    });
    CFrameExchange request = Request(1, 0);  // the answer awaited without limit
    const auto start = Clock::now();
    EXPECT_NE(line.Exchange(request, 4, {}), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    unplug.join();
    std::printf("an exchange noticed the unplug after %lld ms\n",
                static_cast<long long>(took.count()));
    EXPECT_LT(took.count(), 1000);  // not the 2 s character timeout, nor for ever
    ExpectLost(line);
    EXPECT_FALSE(UnitMayHaveActed());
}

TEST(DeviceLost, ALineOpenedOnADeviceObjectIsClosedForGood) {
    PtyPair pty;
    CSerialLine line;
    ASSERT_EQ(
        line.Open(OpenSerialDevice(pty.SlavePath()), 19200, pty.SlavePath(), AUTO_CONTROL, 50, 4),
        0);
    pty.CloseMaster();
    CFrameExchange group = Request(200);
    EXPECT_NE(line.Exchange(group, 1, {}), 0);
    EXPECT_FALSE(line.IsDeviceLost());
    EXPECT_FALSE(line.IsOpen());
}

}  // namespace
}  // namespace kelcmd
