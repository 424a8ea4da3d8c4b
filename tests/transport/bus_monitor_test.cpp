#include "transport/bus_monitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/thread_id.h"

namespace kelcmd {
namespace {

// The lists only pass the command on; its address is what the tests compare.
alignas(16) unsigned char commandStorage[64];
const CKelCommand& TheCommand() {
    return *reinterpret_cast<const CKelCommand*>(commandStorage);
}

class RecordingMonitor final : public CBusMonitor {
  public:
    void ReceiveCommand(const CKelCommand& command) override {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back({&command, CurrentThreadId()});
    }
    size_t Count() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_.size();
    }
    uint32_t LastThread() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_.empty() ? 0 : received_.back().second;
    }
    const CKelCommand* LastCommand() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_.empty() ? nullptr : received_.back().first;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<const CKelCommand*, uint32_t>> received_;
};

template <typename F>
void InOtherThread(F&& f) {
    std::thread thread(std::forward<F>(f));
    thread.join();
}

// ---- CBusMonitor ----

TEST(BusMonitor, ActivateSuspendResumeOneThread) {
    RecordingMonitor monitor;
    EXPECT_FALSE(monitor.IsActive(7));
    monitor.Activate(7);
    monitor.Activate(7);
    EXPECT_TRUE(monitor.IsActive(7));
    EXPECT_EQ(monitor.ActiveThreads(), std::vector<uint32_t>{7});

    monitor.Suspend(7, false);
    EXPECT_FALSE(monitor.IsActive(7));
    EXPECT_EQ(monitor.SuspendedThreads(), std::vector<uint32_t>{7});
    monitor.Suspend(7, false);  // already suspended: nothing changes
    EXPECT_EQ(monitor.SuspendedThreads(), std::vector<uint32_t>{7});

    monitor.Resume(7, false);
    EXPECT_TRUE(monitor.IsActive(7));
    EXPECT_TRUE(monitor.SuspendedThreads().empty());

    monitor.Suspend(8, false);  // a thread that is in no list
    EXPECT_TRUE(monitor.SuspendedThreads().empty());
    monitor.Resume(8, false);
    EXPECT_FALSE(monitor.IsActive(8));
}

TEST(BusMonitor, SuspendAndResumeEveryThread) {
    RecordingMonitor monitor;
    monitor.Activate(1);
    monitor.Activate(2);
    monitor.Activate(3);
    monitor.Suspend(2, false);
    monitor.Suspend(0, true);
    EXPECT_TRUE(monitor.ActiveThreads().empty());
    std::vector<uint32_t> suspended = monitor.SuspendedThreads();
    std::sort(suspended.begin(), suspended.end());
    EXPECT_EQ(suspended, (std::vector<uint32_t>{1, 2, 3}));

    monitor.Resume(0, true);
    std::vector<uint32_t> active = monitor.ActiveThreads();
    std::sort(active.begin(), active.end());
    EXPECT_EQ(active, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_TRUE(monitor.SuspendedThreads().empty());
}

TEST(BusMonitor, ActivatingASuspendedThreadMakesItActive) {
    RecordingMonitor monitor;
    monitor.Activate(5);
    monitor.Suspend(5, false);
    monitor.Activate(5);
    EXPECT_TRUE(monitor.IsActive(5));
    EXPECT_TRUE(monitor.SuspendedThreads().empty());
}

TEST(BusMonitor, ConcurrentThreadListChanges) {
    RecordingMonitor monitor;
    std::vector<std::thread> threads;
    std::atomic<bool> bad{false};
    for (uint32_t t = 1; t <= 4; ++t) {
        threads.emplace_back([&monitor, &bad, t] {
            for (int i = 0; i < 2000; ++i) {
                monitor.Activate(t);
                if (!monitor.IsActive(t)) bad = true;
                monitor.Suspend(t, false);
                monitor.Resume(t, false);
                (void)monitor.ActiveThreads();
                (void)monitor.SuspendedThreads();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_FALSE(bad);
    std::vector<uint32_t> active = monitor.ActiveThreads();
    std::sort(active.begin(), active.end());
    EXPECT_EQ(active, (std::vector<uint32_t>{1, 2, 3, 4}));
}

// ---- CObserverList ----

TEST(ObserverList, TheFirstObserverIsAddedWithTheCallingThreadActive) {
    CObserverList list;
    RecordingMonitor monitor;
    EXPECT_TRUE(list.Empty());
    list.Register(&monitor);
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_TRUE(monitor.IsActive(CurrentThreadId()));
    list.Register(nullptr);
    EXPECT_EQ(list.Size(), 1u);
}

TEST(ObserverList, ASecondDifferentObserverIsIgnored) {
    CObserverList list;
    RecordingMonitor first;
    RecordingMonitor second;
    list.Register(&first);
    list.Register(&second);
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_TRUE(second.ActiveThreads().empty());
    list.Notify(TheCommand());
    EXPECT_EQ(first.Count(), 1u);
    EXPECT_EQ(second.Count(), 0u);
}

TEST(ObserverList, TheSameObserverFromAnotherThreadActivatesThatThread) {
    CObserverList list;
    RecordingMonitor monitor;
    list.Register(&monitor);
    uint32_t other = 0;
    InOtherThread([&] {
        list.Register(&monitor);
        other = CurrentThreadId();
    });
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_TRUE(monitor.IsActive(CurrentThreadId()));
    EXPECT_TRUE(monitor.IsActive(other));
}

TEST(ObserverList, NotifyReachesOnlyActiveThreads) {
    CObserverList list;
    RecordingMonitor monitor;
    list.Register(&monitor);

    list.Notify(TheCommand());
    EXPECT_EQ(monitor.Count(), 1u);
    EXPECT_EQ(monitor.LastCommand(), &TheCommand());
    EXPECT_EQ(monitor.LastThread(), CurrentThreadId());

    InOtherThread([&] { list.Notify(TheCommand()); });  // not registered there
    EXPECT_EQ(monitor.Count(), 1u);

    InOtherThread([&] {
        list.Register(&monitor);
        list.Notify(TheCommand());
    });
    EXPECT_EQ(monitor.Count(), 2u);
    EXPECT_NE(monitor.LastThread(), CurrentThreadId());
}

TEST(ObserverList, SuspendAndResumeTheCallingThread) {
    CObserverList list;
    RecordingMonitor monitor;
    list.Register(&monitor);
    const uint32_t me = CurrentThreadId();
    uint32_t other = 0;
    InOtherThread([&] {
        list.Register(&monitor);
        other = CurrentThreadId();
    });

    list.Suspend(false, false, &monitor);
    EXPECT_FALSE(monitor.IsActive(me));
    EXPECT_TRUE(monitor.IsActive(other));
    list.Notify(TheCommand());
    EXPECT_EQ(monitor.Count(), 0u);

    list.Resume(false, false, &monitor);
    EXPECT_TRUE(monitor.IsActive(me));
    list.Notify(TheCommand());
    EXPECT_EQ(monitor.Count(), 1u);
}

TEST(ObserverList, SuspendAndResumeEveryThread) {
    CObserverList list;
    RecordingMonitor monitor;
    list.Register(&monitor);
    uint32_t other = 0;
    InOtherThread([&] {
        list.Register(&monitor);
        other = CurrentThreadId();
    });

    list.Suspend(true, false, &monitor);
    EXPECT_TRUE(monitor.ActiveThreads().empty());
    EXPECT_EQ(monitor.SuspendedThreads().size(), 2u);

    InOtherThread([&] { list.Resume(true, true, nullptr); });  // every thread, every observer
    EXPECT_TRUE(monitor.IsActive(CurrentThreadId()));
    EXPECT_TRUE(monitor.IsActive(other));
}

TEST(ObserverList, SuspendOfAnObserverNotInTheListDoesNothing) {
    CObserverList list;
    RecordingMonitor monitor;
    RecordingMonitor stranger;
    list.Register(&monitor);
    list.Suspend(true, false, &stranger);
    EXPECT_TRUE(monitor.IsActive(CurrentThreadId()));
    list.Suspend(false, true, nullptr);  // every observer
    EXPECT_FALSE(monitor.IsActive(CurrentThreadId()));
}

TEST(ObserverList, RemoveThenAnotherObserverCanRegister) {
    CObserverList list;
    RecordingMonitor first;
    RecordingMonitor second;
    list.Register(&first);
    list.Remove(&first);
    EXPECT_TRUE(list.Empty());
    list.Register(&second);
    EXPECT_EQ(list.Size(), 1u);
    list.Notify(TheCommand());
    EXPECT_EQ(first.Count(), 0u);
    EXPECT_EQ(second.Count(), 1u);
}

TEST(ObserverList, ConcurrentNotifyAndRegister) {
    CObserverList list;
    RecordingMonitor monitor;
    list.Register(&monitor);
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            list.Register(&monitor);
            for (int i = 0; i < 1000; ++i) {
                list.Notify(TheCommand());
                list.Suspend(false, false, &monitor);
                list.Notify(TheCommand());  // suspended: not delivered
                list.Resume(false, false, &monitor);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(monitor.Count(), 3000u);
}

}  // namespace
}  // namespace kelcmd
