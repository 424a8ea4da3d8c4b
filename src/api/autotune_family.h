#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// Autotuning of the regulators, the square current test and the PWM test. The tests leave a
// recording in the unit; the family reads it through the recording family it is linked to.
class CAutotuneFamily : public CCommandFamily {
  public:
    static constexpr uint8_t kInitAutotune = 0x60;
    static constexpr uint8_t kAutotune = 0x61;
    static constexpr uint8_t kSquareCurrentTest = 0x62;
    static constexpr uint8_t kSetPWM = 0x67;
    // The most samples per vector a run keeps with its command.
    static constexpr uint32_t kMaxKeptSamples = 1024;

    CAutotuneFamily();
    std::span<const CodeRange> GetCodeRanges() const override;

    // The recording family that reads a test's recording (not owned; may be null).
    void SetRecordingFamily(CCommandFamily* recording) { recording_ = recording; }
    CCommandFamily* GetRecordingFamily() const { return recording_; }

  private:
    CCommandFamily* recording_ = nullptr;
};

// The manager's autotuning family, which the exports use.
CAutotuneFamily& AutotuneFamily() noexcept;

}  // namespace kelcmd
