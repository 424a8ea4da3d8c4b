#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// The recorder commands: set-up, start, number of samples ready, and one stretch of a vector.
class CRecordingFamily : public CCommandFamily {
  public:
    static constexpr uint8_t kSetupRecorder = 0x68;
    static constexpr uint8_t kRecordData = 0x69;
    static constexpr uint8_t kReadNbOfSamples = 0x6A;
    static constexpr uint8_t kReadRecordedData = 0x6B;
    // The most samples one ReadRecordedData answer carries (1022 bytes of data).
    static constexpr uint16_t kMaxSamplesPerRead = 511;

    CRecordingFamily();
    std::span<const CodeRange> GetCodeRanges() const override;
};

// The manager's recording family, which the exports use.
CRecordingFamily& RecordingFamily() noexcept;

}  // namespace kelcmd
