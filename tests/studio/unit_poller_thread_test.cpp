// The poller against simulated units, on its own thread.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>

#include "kelcmd/kelcmd.h"
#include "sim/sim_bus.h"
#include "sim/sim_unit.h"
#include "studio_test_support.h"
#include "unit_poller.h"

namespace kelcmd::studio {
namespace {

using namespace std::chrono_literals;

// A port on fresh simulated units, and the readings of the poller on it.
class PollerThreadTest : public ::testing::Test {
  protected:
    void Open(const std::string& addresses) {
        device_ = std::make_unique<testing::SimDevice>(addresses);
        KEB_MapPort(kPort, device_->text.c_str());
        ASSERT_EQ(KEB_InitKelBus(19200, kPort, KEB_RTS_CONTROL, 20, 4), 0);
    }
    void TearDown() override {
        poller_.reset();
        KEB_CloseKelBusPort(kPort);
        KEB_MapPort(kPort, "");
    }
    void StartPolling(std::vector<uint8_t> units, std::chrono::milliseconds period = 20ms) {
        poller_ = std::make_unique<UnitPoller>(kPort, [this](const std::vector<UnitReading>& r) {
            std::lock_guard lock(mutex_);
            last_ = r;
            ++cycles_;
            changed_.notify_all();
        });
        poller_->SetPeriod(period);
        poller_->SetUnits(std::move(units));
    }
    // Waits for a cycle whose readings satisfy `holds`.
    bool WaitForReadings(const std::function<bool(const std::vector<UnitReading>&)>& holds) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return holds(last_); });
    }

    static constexpr const char* kPort = "Com61";
    std::unique_ptr<testing::SimDevice> device_;
    std::unique_ptr<UnitPoller> poller_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<UnitReading> last_;
    int cycles_ = 0;
};

TEST_F(PollerThreadTest, ReadingsFollowAMoveCommandedThroughThePoller) {
    Open("1-3");
    StartPolling({1, 2, 3});
    std::atomic<int> results{0};
    poller_->Submit([&] {
        results += MP_SetRegMode(kPort, 2, 2);
        results += MP_MoveAbsolute(kPort, 2, 3000, 5000);
    });
    ASSERT_TRUE(WaitForReadings([](const std::vector<UnitReading>& readings) {
        return readings.size() == 3 && readings[1].answered && readings[1].position == 3000 &&
               (readings[1].status & 1u) == 0;  // no longer Moving
    }));
    EXPECT_EQ(results, 2);
    std::lock_guard lock(mutex_);
    EXPECT_EQ(last_[0].address, 1);
    EXPECT_EQ(last_[0].position, 0);
    EXPECT_TRUE(last_[2].answered);
}

TEST_F(PollerThreadTest, AUnitThatStopsAnsweringIsReportedAndTheOthersGoOn) {
    Open("1-2");
    StartPolling({1, 2});
    ASSERT_TRUE(WaitForReadings([](const std::vector<UnitReading>& readings) {
        return readings.size() == 2 && readings[0].answered && readings[1].answered;
    }));
    device_->Bus()->Unit(2)->Misbehave(sim::Fault::Silent, sim::kAlways);
    ASSERT_TRUE(WaitForReadings([](const std::vector<UnitReading>& readings) {
        return readings.size() == 2 && !readings[1].answered;
    }));
    std::lock_guard lock(mutex_);
    EXPECT_TRUE(last_[0].answered);
    EXPECT_NE(last_[1].failure.find("XMT_ERR_TACK"), std::string::npos) << last_[1].failure;
}

TEST_F(PollerThreadTest, PausedPollingStillRunsCommandsAndReadsNothing) {
    Open("1");
    StartPolling({1}, 5ms);
    ASSERT_TRUE(WaitForReadings([](const auto& readings) { return !readings.empty(); }));
    poller_->SetPaused(true);
    std::promise<int> done;
    poller_->Submit([&] { done.set_value(MP_ClearError(kPort, 1)); });
    ASSERT_EQ(done.get_future().wait_for(5s), std::future_status::ready);
    const uint64_t cycles = poller_->Cycles();
    std::promise<void> later;
    poller_->Submit([&] { later.set_value(); });
    later.get_future().wait();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(poller_->Cycles(), cycles);
    poller_->SetPaused(false);
    EXPECT_TRUE(WaitForReadings([&](const auto&) { return poller_->Cycles() > cycles; }));
}

TEST_F(PollerThreadTest, StopsPromptlyWhileJobsAndCyclesAreUnderWay) {
    Open("1-3");
    for (int round = 0; round < 5; ++round) {
        StartPolling({1, 2, 3}, 1ms);
        for (int i = 0; i < 20; ++i) poller_->Submit([] { MP_ClearError(kPort, 1); });
        poller_.reset();  // must neither hang nor run a job on a dead poller
    }
}

}  // namespace
}  // namespace kelcmd::studio
