#include "scope_history.h"

#include <algorithm>

namespace kelcmd::studio {
namespace {

// The signal numbers of the recorder, so that the graph picks units and axes by them.
constexpr uint8_t kPositionIs = 1;
constexpr uint8_t kMeanVelocity = 8;
constexpr uint8_t kMeanCurrent = 9;

RecordedCurve NewCurve(uint8_t vector, uint8_t signal) {
    RecordedCurve curve;
    curve.vector = vector;
    curve.signal = signal;
    curve.name = std::string(RecordedSignalName(signal));
    curve.timeUnit = "ms";
    return curve;
}

}  // namespace

void ScopeHistory::SetWindow(std::chrono::seconds window) {
    window_ = std::clamp(window, std::chrono::seconds(kShortestWindow),
                         std::chrono::seconds(kLongestWindow));
    Trim();
}

void ScopeHistory::SetUnit(uint8_t address) {
    if (address != unit_) samples_.clear();
    unit_ = address;
}

bool ScopeHistory::Add(const UnitReading& reading) {
    if (reading.address != unit_ || !reading.answered) return false;
    if (!samples_.empty() && reading.time < samples_.back().time) return false;
    samples_.push_back({reading.time, reading.position, reading.velocity, reading.current});
    Trim();
    return true;
}

void ScopeHistory::Trim() {
    if (samples_.empty()) return;
    const auto oldest = samples_.back().time - window_;
    while (!samples_.empty() && samples_.front().time < oldest) samples_.pop_front();
}

CRecordedData ScopeHistory::ToRecordedData() const {
    CRecordedData data;
    if (samples_.empty()) return data;
    RecordedCurve position = NewCurve(1, kPositionIs);
    RecordedCurve velocity = NewCurve(2, kMeanVelocity);
    RecordedCurve current = NewCurve(3, kMeanCurrent);
    const auto start = samples_.front().time;
    for (const Sample& sample : samples_) {
        const auto ms = static_cast<int32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(sample.time - start).count());
        position.points.push_back({ms, static_cast<float>(sample.position)});
        velocity.points.push_back({ms, sample.velocity});
        current.points.push_back({ms, sample.current});
    }
    if (samples_.size() > 1) {
        const auto span = samples_.back().time - start;
        const auto period = std::chrono::duration_cast<std::chrono::milliseconds>(span).count() /
                            static_cast<int64_t>(samples_.size() - 1);
        for (RecordedCurve* curve : {&position, &velocity, &current}) {
            curve->period = static_cast<uint32_t>(std::max<int64_t>(period, 1));
        }
    }
    data.Curves() = {std::move(position), std::move(velocity), std::move(current)};
    return data;
}

}  // namespace kelcmd::studio
