// Which kind of device a device text opens: a registered kind by its prefix, a tty otherwise.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/pty_pair.h"
#include "platform/serial_device.h"

namespace kelcmd {
namespace {

// The texts a test kind's factory was handed; it opens nothing. The registry keeps the factory
// for the rest of the program, so the factory shares the record instead of pointing at it.
class Opened {
  public:
    DeviceFactory Factory() const {
        return [log = log_](const std::string& device) -> std::unique_ptr<SerialDevice> {
            std::lock_guard guard(log->lock);
            log->texts.push_back(device);
            return nullptr;
        };
    }
    std::vector<std::string>& Texts() { return log_->texts; }

  private:
    struct Log {
        std::mutex lock;
        std::vector<std::string> texts;
    };
    std::shared_ptr<Log> log_ = std::make_shared<Log>();
};

TEST(DeviceKindsTest, PrefixAloneOrBeforeAColonPicksTheKind) {
    Opened opened;
    ASSERT_TRUE(RegisterDeviceKind("kindtest", opened.Factory()));
    struct Case {
        const char* text;
        bool reachesKind;
    };
    const Case cases[] = {
        {"kindtest", true},       {"kindtest:1-3,bus=a", true},
        {"kindtest:", true},      {"kindtests", false},
        {"kindtes", false},       {"xkindtest", false},
        {"/dev/kindtest", false}, {"", false},
        {":kindtest", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        opened.Texts().clear();
        EXPECT_EQ(OpenSerialDevice(c.text), nullptr);  // no such tty either
        EXPECT_EQ(opened.Texts(),
                  c.reachesKind ? std::vector<std::string>{c.text} : std::vector<std::string>{});
    }
}

TEST(DeviceKindsTest, BadOrTakenPrefixesAreRefused) {
    Opened first, second;
    EXPECT_FALSE(RegisterDeviceKind("", first.Factory()));
    EXPECT_FALSE(RegisterDeviceKind("refused:kind", first.Factory()));
    EXPECT_FALSE(RegisterDeviceKind("nofactory", nullptr));
    ASSERT_TRUE(RegisterDeviceKind("takentest", first.Factory()));
    EXPECT_FALSE(RegisterDeviceKind("takentest", second.Factory()));
    OpenSerialDevice("takentest:1");
    EXPECT_EQ(first.Texts().size(), 1u);  // the first kind stays in place
    EXPECT_TRUE(second.Texts().empty());
    // Taken out, the prefix is free for another kind.
    EXPECT_TRUE(UnregisterDeviceKind("takentest"));
    EXPECT_FALSE(UnregisterDeviceKind("takentest"));
    ASSERT_TRUE(RegisterDeviceKind("takentest", second.Factory()));
    OpenSerialDevice("takentest:2");
    EXPECT_EQ(first.Texts().size(), 1u);
    EXPECT_EQ(second.Texts(), std::vector<std::string>{"takentest:2"});
}

TEST(DeviceKindsTest, TextWithoutAKindOpensAsTty) {
    Opened opened;
    ASSERT_TRUE(RegisterDeviceKind("ttytest", opened.Factory()));
    kelcmd::testing::PtyPair pty;
    EXPECT_NE(OpenSerialDevice(pty.SlavePath()), nullptr);
    EXPECT_TRUE(opened.Texts().empty());
}

TEST(DeviceKindsTest, KindsRegisteredConcurrentlyWhileOthersOpenAreAllFound) {
    constexpr int kThreads = 4;
    constexpr int kKindsEach = 25;
    Opened opened;
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < kKindsEach; ++k) {
                const std::string prefix = "race" + std::to_string(t) + "x" + std::to_string(k);
                if (!RegisterDeviceKind(prefix, opened.Factory())) ++refused;
                OpenSerialDevice(prefix + ":1");
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(opened.Texts().size(), static_cast<size_t>(kThreads * kKindsEach));
}

}  // namespace
}  // namespace kelcmd
