#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kelcmd {
class CKelBatchCommand;
}

namespace kelcmd::dialogs {

// Executes a batch again and again on a worker thread, on the worker's own copy, until an
// execution fails or it is stopped. Each pass leaves a copy of the executed batch and its result
// in a mailbox; the end leaves the last result. The window collects them on its own thread
// (TakeEvents), so the worker never touches the window. Stopping waits at most for the exchange in
// progress, which its answer timeout bounds; the delay between passes is cut short.
class AutoRepetition {
  public:
    struct Event {
        std::unique_ptr<CKelBatchCommand> executed;  // null for the end of the repetition
        int result = 0;
    };

    AutoRepetition() = default;
    ~AutoRepetition();
    AutoRepetition(const AutoRepetition&) = delete;
    AutoRepetition& operator=(const AutoRepetition&) = delete;

    // False when already running. The copy must have a bounded answer timeout.
    bool Start(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs);
    void Stop();
    bool Running() const;
    // What happened since the last call, in order.
    std::vector<Event> TakeEvents();

  private:
    void Run(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs);
    void Post(Event event);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool running_ = false;
    std::vector<Event> events_;
    std::thread thread_;
};

// Without a limit an exchange could hold a stop for ever: the repetition waits at most this long.
inline constexpr uint32_t kRepetitionTimeoutCapMs = 10000;

// The copy a repetition runs: the batch as it is, each wait without limit (a member's or a fixed
// total of 0) bounded by kRepetitionTimeoutCapMs. Null when its message cannot be built, which
// the build says on the calling thread.
std::unique_ptr<CKelBatchCommand> RepetitionCopy(const CKelBatchCommand& batch);

// The window's batch takes an executed copy over: statuses and results, but its own timeouts.
void TakeOverExecuted(CKelBatchCommand& batch, const CKelBatchCommand& executed);

}  // namespace kelcmd::dialogs
