#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/recorder/sample_source.h"
#include "sim/sim_clock.h"

namespace kelcmd::sim {

// The data recorder of a simulated unit: four vectors sampled at the set interval from a sample
// source, started by RecordData or, with auto-record set, by each movement command. Test runs
// (autotuning, current tests) leave finished recordings of their own. Thread-safe.
class SimRecorder {
  public:
    static constexpr uint16_t kDefaultCapacity = 1000;
    static constexpr uint16_t kMaxSamplesPerRead = 511;

    struct Progress {
        bool terminated = true;
        uint16_t samples = 0;  // ready per vector
        uint32_t periodUs = 0;
    };
    struct Piece {
        uint8_t signal = 0;
        std::vector<int16_t> samples;
    };

    explicit SimRecorder(const SimClock& clock);

    void SetSource(std::shared_ptr<const SampleSource> source);
    // Samples per vector of a recording (1 to 65535).
    void SetCapacity(uint16_t samples);

    // period in ms (0 stands for 65536), dataType 1 to 6 picks the four signals. False: refused.
    bool Setup(uint16_t period, uint8_t dataType, bool autoRecord);
    // RecordData: regulator 0 (position) or 1 (current). False: refused.
    bool Start(uint8_t regulator);
    // A movement command ran: starts a recording when auto-record is set. The drive model calls it.
    void NotifyMovement();

    Progress GetProgress();
    // Samples first .. first + count - 1 of a vector; nothing when they are not recorded (yet).
    std::optional<Piece> Read(uint8_t vector, uint16_t first, uint16_t count);

    // Replaces the recording by a finished one (all vectors as long as the shortest).
    void Store(const std::array<uint8_t, 4>& signals, uint32_t periodUs,
               const std::array<std::vector<int16_t>, 4>& samples);

    std::array<uint8_t, 4> Signals() const;
    bool AutoRecord() const;

  private:
    uint16_t AvailableLocked() const;
    void SampleUpToLocked(uint16_t count);
    void StartLocked();

    const SimClock& clock_;
    mutable std::mutex mutex_;
    std::shared_ptr<const SampleSource> source_;
    uint16_t capacity_ = kDefaultCapacity;
    uint32_t periodUs_ = 1000;  // of the set-up
    uint8_t dataType_ = 1;
    bool autoRecord_ = true;
    // The current recording: live (sampled from the source as time passes) or stored.
    bool recorded_ = false;
    bool live_ = false;
    std::chrono::microseconds start_{0};
    uint32_t recordPeriodUs_ = 1000;
    uint16_t length_ = 0;
    std::array<uint8_t, 4> signals_{0, 1, 2, 3};
    std::array<std::vector<int16_t>, 4> samples_;
};

// The four signals of a set-up's dataType (1 to 6); nothing for other values.
std::optional<std::array<uint8_t, 4>> SignalsOfDataType(uint8_t dataType);

// A signal value as the unit records it: velocities in fixed point with five fraction bits,
// everything saturated to 16 bits.
int16_t RecordedSample(int signal, double value);

}  // namespace kelcmd::sim
