// Hooks installed by a layer above: a call in flight keeps what it called into alive, and
// replacing the hook waits for it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/hook.h"

namespace kelcmd {
namespace {

using namespace std::chrono_literals;

class Greeter {
  public:
    virtual ~Greeter() = default;
    virtual int Greet() = 0;
};

// Blocks inside Greet until released; counts its own destruction.
class BlockingGreeter final : public Greeter {
  public:
    explicit BlockingGreeter(std::atomic<int>& destroyed) : destroyed_(destroyed) {}
    ~BlockingGreeter() override { ++destroyed_; }
    int Greet() override {
        entered.set_value();
        leave.get_future().wait();
        return alive_;  // read after the wait: ASan sees a use after free here
    }
    std::promise<void> entered;
    std::promise<void> leave;

  private:
    std::atomic<int>& destroyed_;
    int alive_ = 7;
};

TEST(HookThread, UninstallWaitsForTheCallInFlightBeforeFreeing) {
    Hook<Greeter> hook;
    std::atomic<int> destroyed{0};
    auto greeter = std::make_shared<BlockingGreeter>(destroyed);
    std::future<void> entered = greeter->entered.get_future();
    BlockingGreeter& inside = *greeter;
    hook.Install(std::move(greeter));

    auto call = std::async(std::launch::async, [&hook] { return hook.Current()->Greet(); });
    entered.wait();
    auto uninstall = std::async(std::launch::async, [&hook] { hook.Install(nullptr); });
    EXPECT_EQ(uninstall.wait_for(100ms), std::future_status::timeout);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(hook.Current(), nullptr);  // new calls no longer find it

    inside.leave.set_value();
    EXPECT_EQ(call.get(), 7);
    uninstall.get();
    EXPECT_EQ(destroyed, 1);  // the uninstaller held the last owner
}

TEST(HookThread, ReplacingHandsBackThePreviousWhileNewCallsReachTheNew) {
    struct Fixed final : Greeter {
        explicit Fixed(int value) : value(value) {}
        int Greet() override { return value; }
        int value;
    };
    Hook<Greeter> hook;
    EXPECT_EQ(hook.Install(std::make_shared<Fixed>(1)), nullptr);
    std::shared_ptr<Greeter> previous = hook.Install(std::make_shared<Fixed>(2));
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(previous->Greet(), 1);
    EXPECT_EQ(hook.Current()->Greet(), 2);
    Fixed scoped(3);
    hook.Install(Unowned<Greeter>(scoped));
    EXPECT_EQ(hook.Current()->Greet(), 3);
    EXPECT_EQ(hook.Install(nullptr).get(), &scoped);
    EXPECT_FALSE(hook.IsInstalled());
}

}  // namespace
}  // namespace kelcmd
