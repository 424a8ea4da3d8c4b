#include "unit_poller.h"

#include "failure_report.h"
#include "kelcmd/kelcmd.h"

namespace kelcmd::studio {

UnitPoller::UnitPoller(std::string port, Sink sink)
    : port_(std::move(port)), sink_(std::move(sink)), worker_([this] { Run(); }) {}

UnitPoller::~UnitPoller() {
    Change([this] { stopping_ = true; });
    worker_.join();
}

void UnitPoller::SetUnits(std::vector<uint8_t> addresses) {
    Change([&] { units_ = std::move(addresses); });
}

void UnitPoller::SetPeriod(std::chrono::milliseconds period) {
    Change([&] { period_ = std::max(period, std::chrono::milliseconds(1)); });
}

void UnitPoller::SetPaused(bool paused) {
    Change([&] { paused_ = paused; });
}

bool UnitPoller::Paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

void UnitPoller::Submit(Job job) {
    Change([&] { jobs_.push_back(std::move(job)); });
}

uint64_t UnitPoller::Cycles() const {
    std::lock_guard lock(mutex_);
    return cycles_;
}

bool UnitPoller::RunJobs(std::unique_lock<std::mutex>& lock) {
    while (!jobs_.empty() && !stopping_) {
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
    return !stopping_;
}

void UnitPoller::Run() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);
    while (RunJobs(lock)) {
        if (paused_ || units_.empty()) {
            wake_.wait(lock, [this] {
                return stopping_ || !jobs_.empty() || (!paused_ && !units_.empty());
            });
            continue;
        }
        const Clock::time_point start = Clock::now();
        const std::vector<uint8_t> units = units_;
        std::vector<UnitReading> readings;
        readings.reserve(units.size());
        for (const uint8_t address : units) {
            if (!RunJobs(lock)) return;
            lock.unlock();
            readings.push_back(Read(address));
            lock.lock();
        }
        ++cycles_;
        lock.unlock();
        sink_(readings);
        lock.lock();
        // Commands run while the cycle waits for its period to end.
        const Clock::time_point next = start + period_;
        while (RunJobs(lock) && !paused_ && Clock::now() < next) {
            wake_.wait_until(lock, next, [this] { return stopping_ || !jobs_.empty() || paused_; });
        }
    }
}

UnitReading UnitPoller::Read(uint8_t address) const {
    UnitReading reading;
    reading.address = address;
    reading.time = std::chrono::steady_clock::now();
    uint8_t userInputs = 0;
    uint8_t predefinedInputs = 0;
    // One exchange gives the status and the three values; error and warning only when shown.
    if (MP_ReadAxisInfo(port_.c_str(), address, &reading.status, &userInputs, &predefinedInputs,
                        &reading.position, &reading.velocity, &reading.current) != 1) {
        reading.failure = app::LastFailureText();
        if (reading.failure.empty()) reading.failure = "no answer";
        return reading;
    }
    reading.answered = true;
    if ((reading.status & kStatusError) != 0) {
        MP_ReadError(port_.c_str(), address, &reading.error);
    }
    if ((reading.status & kStatusWarning) != 0) {
        MP_ReadWarning(port_.c_str(), address, &reading.warning);
    }
    return reading;
}

}  // namespace kelcmd::studio
