#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "unit_reading.h"

namespace kelcmd::studio {

// Reads the live values of a port's units on a thread of its own, one cycle every period, and runs
// the cockpit's commands on the same thread: a command waits at most for the exchange in progress,
// never for a whole cycle. A cycle starts only after the last one ended, so a slow bus makes the
// cycles longer but never piles requests up.
class UnitPoller {
  public:
    using Sink = std::function<void(const std::vector<UnitReading>&)>;
    using Job = std::function<void()>;
    static constexpr std::chrono::milliseconds kDefaultPeriod{200};

    // `sink` gets each cycle's readings on the poller's thread.
    UnitPoller(std::string port, Sink sink);
    ~UnitPoller();
    UnitPoller(const UnitPoller&) = delete;
    UnitPoller& operator=(const UnitPoller&) = delete;

    const std::string& Port() const { return port_; }
    void SetUnits(std::vector<uint8_t> addresses);
    void SetPeriod(std::chrono::milliseconds period);
    void SetPaused(bool paused);
    bool Paused() const;
    // Runs `job` on the poller's thread before the next unit is read, in the order submitted.
    void Submit(Job job);
    uint64_t Cycles() const;

  private:
    // Changes what the worker reads under the lock, then wakes it.
    template <class Edit>
    void Change(Edit&& edit) {
        {
            std::lock_guard lock(mutex_);
            edit();
        }
        wake_.notify_all();
    }
    void Run();
    // Runs queued jobs with the lock released; false once stopping.
    bool RunJobs(std::unique_lock<std::mutex>& lock);
    UnitReading Read(uint8_t address) const;

    const std::string port_;
    const Sink sink_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::vector<uint8_t> units_;
    std::chrono::milliseconds period_ = kDefaultPeriod;
    bool paused_ = false;
    bool stopping_ = false;
    uint64_t cycles_ = 0;
    std::thread worker_;  // last: starts once everything above exists
};

}  // namespace kelcmd::studio
