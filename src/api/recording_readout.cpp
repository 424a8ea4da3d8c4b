#include "api/recording_readout.h"

#include <algorithm>
#include <vector>

#include "api/catalogue_call.h"
#include "api/recorder_family.h"

namespace kelcmd {
namespace {

// One ReadRecordedData: `count` samples of `vector` from `first` into `piece`, which holds a whole
// answer (the answer always carries 511 values; only `count` of them are samples).
bool ReadPiece(CCommandFamily* recording, const std::string& port, int64_t slave, uint8_t vector,
               uint16_t first, uint16_t count, std::vector<int16_t>& piece, uint8_t& signal) {
    return CallCatalogue(recording, port.c_str(), slave, "ReadRecordedData",
                         {Value(vector), Value(first), Value(count)},
                         {Out(&signal), Out(piece.data())}) != 0;
}

uint16_t PieceSize(uint32_t left) {
    return static_cast<uint16_t>(std::min<uint32_t>(left, CRecordingFamily::kMaxSamplesPerRead));
}

}  // namespace

std::optional<RecordingSize> ReadRecordingPieces(CCommandFamily* recording, const std::string& port,
                                                 int64_t slave, const RecordingPieceSink& sink,
                                                 uint32_t limit) {
    uint8_t terminated = 0;
    RecordingSize size;
    if (!CallCatalogue(recording, port.c_str(), slave, "ReadNbOfSamples", {},
                       {Out(&terminated), Out(&size.samples), Out(&size.periodUs)})) {
        return std::nullopt;
    }
    const uint32_t total = std::min<uint32_t>(size.samples, limit);
    std::vector<int16_t> piece(CRecordingFamily::kMaxSamplesPerRead);
    for (uint32_t first = 0; first < total; first += CRecordingFamily::kMaxSamplesPerRead) {
        const uint16_t count = PieceSize(total - first);
        for (uint8_t vector = 0; vector < 4; ++vector) {
            uint8_t signal = 0;
            if (!ReadPiece(recording, port, slave, vector, static_cast<uint16_t>(first), count,
                           piece, signal)) {
                return std::nullopt;
            }
            sink(size, vector, signal, std::span<const int16_t>(piece.data(), count));
        }
    }
    return size;
}

bool ReadRecordedVector(CCommandFamily* recording, const std::string& port, int64_t slave,
                        uint8_t vector, uint16_t first, uint16_t count, int16_t* samples,
                        uint8_t& signal) {
    // Sample numbers are 16 bits wide: a stretch beyond the last one cannot be asked for.
    if (uint32_t{first} + count > uint32_t{UINT16_MAX} + 1) return false;
    std::vector<int16_t> piece(CRecordingFamily::kMaxSamplesPerRead);
    for (uint32_t done = 0; done < count;) {
        const uint16_t size = PieceSize(count - done);
        if (!ReadPiece(recording, port, slave, vector, static_cast<uint16_t>(first + done), size,
                       piece, signal)) {
            return false;
        }
        std::copy_n(piece.begin(), size, samples + done);
        done += size;
    }
    return true;
}

bool ReadWholeRecording(CCommandFamily* recording, const std::string& port, int64_t slave,
                        CRecordedData& data) {
    // Read into a set of its own: a failing read discards everything read before it.
    CRecordedData read;
    const auto size =
        ReadRecordingPieces(recording, port, slave,
                            [&read](const RecordingSize& size, uint8_t vector, uint8_t signal,
                                    std::span<const int16_t> samples) {
                                const TimeBase base = TimeBaseOfMicroseconds(size.periodUs);
                                read.AppendSamples(vector, signal, samples, base.period, base.unit);
                            });
    if (!size || size->samples == 0) return false;
    data = std::move(read);
    return true;
}

CRecordedData BuildPolledData(uint16_t count, uint32_t period,
                              const std::array<PolledSeries, 4>& series) {
    if (period >= 1000) period /= 1000;
    CRecordedData data;
    for (uint8_t vector = 0; vector < series.size(); ++vector) {
        if (series[vector].samples == nullptr) continue;
        data.AppendSamples(vector, series[vector].signal,
                           std::span<const int16_t>(series[vector].samples, count), period,
                           "samples");
    }
    return data;
}

}  // namespace kelcmd
