#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

#include "api/recorded_data.h"
#include "unit_reading.h"

namespace kelcmd::studio {

// What the scope shows: the readings of one unit over the last few seconds, as recorded data
// that the graph of the dialogs library draws (and "Recorded Data" measures, prints and saves).
class ScopeHistory {
  public:
    static constexpr std::chrono::seconds kShortestWindow{10};
    static constexpr std::chrono::seconds kLongestWindow{60};

    // 10 to 60 s; older samples are dropped.
    void SetWindow(std::chrono::seconds window);
    std::chrono::seconds Window() const { return window_; }
    // Another unit starts a new history.
    void SetUnit(uint8_t address);
    uint8_t Unit() const { return unit_; }
    // Takes the reading when it is of this history's unit and answered; true when it did.
    bool Add(const UnitReading& reading);
    void Clear() { samples_.clear(); }
    size_t Size() const { return samples_.size(); }

    // Three curves, times in ms from the oldest sample kept: "position is" (qc), "mean velocity"
    // (qc/ms) and "mean current" (mA).
    CRecordedData ToRecordedData() const;

  private:
    struct Sample {
        std::chrono::steady_clock::time_point time;
        int32_t position;
        float velocity;
        int16_t current;
    };
    void Trim();

    std::chrono::seconds window_{20};
    uint8_t unit_ = 0;
    std::deque<Sample> samples_;
};

}  // namespace kelcmd::studio
