#include "sim/recorder/sim_recorder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelcmd::sim {

std::optional<std::array<uint8_t, 4>> SignalsOfDataType(uint8_t dataType) {
    // Set-point and actual value of the first quantity in vectors 0 and 1, of the second in 2, 3.
    switch (dataType) {
        case 1:  // position & velocity
            return std::array<uint8_t, 4>{0, 1, 2, 3};
        case 2:  // position & current
            return std::array<uint8_t, 4>{0, 1, 4, 5};
        case 3:  // velocity & current
            return std::array<uint8_t, 4>{2, 3, 4, 5};
        case 4:  // position & mean current
            return std::array<uint8_t, 4>{0, 1, 4, 9};
        case 5:  // velocity & mean current
            return std::array<uint8_t, 4>{2, 3, 4, 9};
        case 6:  // position & mean velocity
            return std::array<uint8_t, 4>{0, 1, 2, 8};
        default:
            return std::nullopt;
    }
}

int16_t RecordedSample(int signal, double value) {
    if (signal == 2 || signal == 3 || signal == 8) value *= 32.0;
    if (!std::isfinite(value)) return 0;
    const double rounded = std::round(value);
    return static_cast<int16_t>(std::clamp<double>(rounded, std::numeric_limits<int16_t>::min(),
                                                   std::numeric_limits<int16_t>::max()));
}

SimRecorder::SimRecorder(const SimClock& clock)
    : clock_(clock), source_(std::make_shared<RestingSource>()) {}

void SimRecorder::SetSource(std::shared_ptr<const SampleSource> source) {
    std::lock_guard lock(mutex_);
    source_ = source ? std::move(source) : std::make_shared<RestingSource>();
}

void SimRecorder::SetCapacity(uint16_t samples) {
    std::lock_guard lock(mutex_);
    capacity_ = std::max<uint16_t>(samples, 1);
}

bool SimRecorder::Setup(uint16_t period, uint8_t dataType, bool autoRecord) {
    if (!SignalsOfDataType(dataType)) return false;
    std::lock_guard lock(mutex_);
    periodUs_ = (period == 0 ? 65536u : period) * 1000u;
    dataType_ = dataType;
    autoRecord_ = autoRecord;
    return true;
}

bool SimRecorder::Start(uint8_t regulator) {
    if (regulator > 1) return false;
    std::lock_guard lock(mutex_);
    StartLocked();
    return true;
}

void SimRecorder::NotifyMovement() {
    std::lock_guard lock(mutex_);
    if (autoRecord_) StartLocked();
}

void SimRecorder::StartLocked() {
    recorded_ = true;
    live_ = true;
    start_ = source_->Now(clock_);
    recordPeriodUs_ = periodUs_;
    length_ = capacity_;
    signals_ = *SignalsOfDataType(dataType_);
    for (auto& vector : samples_) vector.clear();
}

uint16_t SimRecorder::AvailableLocked() const {
    if (!recorded_) return 0;
    if (!live_) return length_;
    const auto elapsed = (source_->Now(clock_) - start_).count();
    const int64_t taken = elapsed / static_cast<int64_t>(recordPeriodUs_) + 1;
    return static_cast<uint16_t>(std::min<int64_t>(taken, length_));
}

void SimRecorder::SampleUpToLocked(uint16_t count) {
    if (!live_) return;
    for (size_t vector = 0; vector < samples_.size(); ++vector) {
        auto& samples = samples_[vector];
        for (size_t i = samples.size(); i < count; ++i) {
            const std::chrono::microseconds at =
                start_ + std::chrono::microseconds(i * recordPeriodUs_);
            const int signal = signals_[vector];
            samples.push_back(RecordedSample(signal, source_->Signal(signal, at)));
        }
    }
}

SimRecorder::Progress SimRecorder::GetProgress() {
    std::lock_guard lock(mutex_);
    const uint16_t available = AvailableLocked();
    return {.terminated = available == length_,
            .samples = available,
            .periodUs = recorded_ ? recordPeriodUs_ : periodUs_};
}

std::optional<SimRecorder::Piece> SimRecorder::Read(uint8_t vector, uint16_t first,
                                                    uint16_t count) {
    if (vector >= samples_.size() || count > kMaxSamplesPerRead) return std::nullopt;
    std::lock_guard lock(mutex_);
    const uint16_t available = AvailableLocked();
    if (uint32_t{first} + count > available) return std::nullopt;
    SampleUpToLocked(available);
    const auto& samples = samples_[vector];
    return Piece{signals_[vector], {samples.begin() + first, samples.begin() + first + count}};
}

void SimRecorder::Store(const std::array<uint8_t, 4>& signals, uint32_t periodUs,
                        const std::array<std::vector<int16_t>, 4>& samples) {
    size_t shortest = std::numeric_limits<uint16_t>::max();
    for (const auto& vector : samples) shortest = std::min(shortest, vector.size());
    std::lock_guard lock(mutex_);
    recorded_ = true;
    live_ = false;
    recordPeriodUs_ = std::max<uint32_t>(periodUs, 1);
    length_ = static_cast<uint16_t>(shortest);
    signals_ = signals;
    for (size_t i = 0; i < samples.size(); ++i) {
        samples_[i].assign(samples[i].begin(), samples[i].begin() + length_);
    }
}

std::array<uint8_t, 4> SimRecorder::Signals() const {
    std::lock_guard lock(mutex_);
    return signals_;
}

bool SimRecorder::AutoRecord() const {
    std::lock_guard lock(mutex_);
    return autoRecord_;
}

}  // namespace kelcmd::sim
