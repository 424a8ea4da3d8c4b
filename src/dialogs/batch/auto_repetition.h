#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kelcmd {
class CKelBatchCommand;
}

namespace kelcmd::dialogs {

// Executes a batch again and again on a worker thread, on the worker's own copy, until an
// execution fails or it is stopped. Each pass hands a copy of the executed batch and the result to
// `runDone`; the end hands the last result to `ended`. Both are called on the worker thread: the
// receiver posts them to its own thread. Stopping waits at most for the exchange in progress,
// which its answer timeout bounds; the delay between passes is cut short.
class AutoRepetition {
  public:
    using RunDone = std::function<void(std::unique_ptr<CKelBatchCommand> executed, int result)>;
    using Ended = std::function<void(int result)>;

    AutoRepetition() = default;
    ~AutoRepetition();
    AutoRepetition(const AutoRepetition&) = delete;
    AutoRepetition& operator=(const AutoRepetition&) = delete;

    // False when already running. The copy must have a bounded answer timeout.
    bool Start(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs, RunDone runDone,
               Ended ended);
    void Stop();
    bool Running() const;

  private:
    void Run(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs, RunDone runDone,
             Ended ended);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool running_ = false;
    std::thread thread_;
};

// Without a limit an exchange could hold a stop for ever: the repetition waits at most this long.
inline constexpr uint32_t kRepetitionTimeoutCapMs = 10000;

}  // namespace kelcmd::dialogs
