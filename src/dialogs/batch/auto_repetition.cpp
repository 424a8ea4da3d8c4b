#include "dialogs/batch/auto_repetition.h"

#include <chrono>

#include "command/kel_batch_command.h"

namespace kelcmd::dialogs {

AutoRepetition::~AutoRepetition() {
    Stop();
}

bool AutoRepetition::Start(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs,
                           RunDone runDone, Ended ended) {
    if (copy == nullptr) return false;
    {
        std::lock_guard lock(mutex_);
        if (running_) return false;
    }
    // A worker that ended by itself is collected before the next one starts.
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread(&AutoRepetition::Run, this, std::move(copy), delayMs, std::move(runDone),
                          std::move(ended));
    return true;
}

void AutoRepetition::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    running_ = false;
}

bool AutoRepetition::Running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void AutoRepetition::Run(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs, RunDone runDone,
                         Ended ended) {
    int result = 1;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_ || result == 0) break;
        }
        copy->ClearResults();
        result = copy->Execute() != 0 ? 1 : 0;
        if (runDone) runDone(std::make_unique<CKelBatchCommand>(*copy), result);
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return stopRequested_; });
    }
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }
    if (ended) ended(result);
}

}  // namespace kelcmd::dialogs
