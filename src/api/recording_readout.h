#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>

#include "api/recorded_data.h"

namespace kelcmd {

class CCommandFamily;

struct RecordingSize {
    uint16_t samples = 0;  // per vector
    uint32_t periodUs = 0;
};

// Called for each piece read: the recording's size, the vector, the signal it reported, and the
// samples.
using RecordingPieceSink = std::function<void(const RecordingSize& size, uint8_t vector,
                                              uint8_t signal, std::span<const int16_t> samples)>;

// Reads a unit's recording through the recording family: ReadNbOfSamples, then for first = 0,
// 511, 1022, ... below the number of samples (at most `limit`) ReadRecordedData of vectors 0 to 3
// in this order, each piece handed to `sink`. Stops at the first failing command. The size read,
// or nothing when a command failed.
std::optional<RecordingSize> ReadRecordingPieces(
    CCommandFamily* recording, const std::string& port, int64_t slave,
    const RecordingPieceSink& sink, uint32_t limit = std::numeric_limits<uint32_t>::max());

// Reads `count` samples of one vector from sample `first` on, in as many ReadRecordedData pieces
// as needed, into `samples` (room for `count`); `signal` is the signal the unit reported. False at
// the first failing command, with the samples read before it written, and for a stretch beyond
// sample 65535 (nothing sent).
bool ReadRecordedVector(CCommandFamily* recording, const std::string& port, int64_t slave,
                        uint8_t vector, uint16_t first, uint16_t count, int16_t* samples,
                        uint8_t& signal);

inline constexpr const char* kDisplayRecordedDataError = "Error 'Display Recorded Data' !";

// The whole recording as a data set: time unit "us" below a period of 1000 us, else whole "ms".
// True and `data` replaced when every read succeeded and there was at least one sample; otherwise
// `data` is unchanged (the caller shows kDisplayRecordedDataError).
bool ReadWholeRecording(CCommandFamily* recording, const std::string& port, int64_t slave,
                        CRecordedData& data);

// Samples the host polled itself, one optional series per vector (null: no curve), `count`
// samples each, time unit "samples"; a period of 1000 or more is divided by 1000 first.
struct PolledSeries {
    uint8_t signal = 0;
    const int16_t* samples = nullptr;
};
CRecordedData BuildPolledData(uint16_t count, uint32_t period,
                              const std::array<PolledSeries, 4>& series);

}  // namespace kelcmd
