#include "dialogs/batch/auto_repetition.h"

#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include "command/kel_batch_command.h"

namespace kelcmd::dialogs {

AutoRepetition::~AutoRepetition() {
    Stop();
}

bool AutoRepetition::Start(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs) {
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
    events_.clear();
    thread_ = std::thread(&AutoRepetition::Run, this, std::move(copy), delayMs);
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

std::vector<AutoRepetition::Event> AutoRepetition::TakeEvents() {
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
}

void AutoRepetition::Post(Event event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

void AutoRepetition::Run(std::unique_ptr<CKelBatchCommand> copy, uint32_t delayMs) {
    int result = 1;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_ || result == 0) break;
        }
        copy->ClearResults();
        copy->SetStatus(STATUS_IDLE);  // stays so when the execution never starts
        result = copy->Execute() != 0 ? 1 : 0;
        Post({std::make_unique<CKelBatchCommand>(*copy), result});
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return stopRequested_; });
    }
    std::lock_guard lock(mutex_);
    events_.push_back({nullptr, result});
    running_ = false;
}

std::unique_ptr<CKelBatchCommand> RepetitionCopy(const CKelBatchCommand& batch) {
    auto copy = std::make_unique<CKelBatchCommand>(batch);
    if (!copy->BuildMessage()) return nullptr;
    for (const auto& member : copy->GetCommands()) {
        if (member->GetAnswerTimeout() == 0) member->SetAnswerTimeout(kRepetitionTimeoutCapMs);
    }
    if (copy->GetFixedTimeout() == 0u) copy->SetFixedTimeout(kRepetitionTimeoutCapMs);
    return copy;
}

void TakeOverExecuted(CKelBatchCommand& batch, const CKelBatchCommand& executed) {
    const std::optional<uint32_t> fixed = batch.GetFixedTimeout();
    std::vector<uint32_t> timeouts;
    for (const auto& member : batch.GetCommands()) timeouts.push_back(member->GetAnswerTimeout());
    batch.CopyFrom(executed);
    batch.SetFixedTimeout(fixed);
    for (size_t i = 0; i < timeouts.size() && i < batch.GetCommandCount(); ++i) {
        batch.GetCommand(i)->SetAnswerTimeout(timeouts[i]);
    }
}

}  // namespace kelcmd::dialogs
