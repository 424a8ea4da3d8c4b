#include "api/recording_readout.h"

#include <algorithm>
#include <vector>

#include "api/catalogue_call.h"
#include "api/recorder_family.h"

namespace kelcmd {

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
    // The answer always carries a whole 511-value array; only `count` of them are samples.
    std::vector<int16_t> piece(CRecordingFamily::kMaxSamplesPerRead);
    for (uint32_t first = 0; first < total; first += CRecordingFamily::kMaxSamplesPerRead) {
        const auto count = static_cast<uint16_t>(
            std::min<uint32_t>(total - first, CRecordingFamily::kMaxSamplesPerRead));
        for (uint8_t vector = 0; vector < 4; ++vector) {
            uint8_t signal = 0;
            if (!CallCatalogue(recording, port.c_str(), slave, "ReadRecordedData",
                               {Value(vector), Value(static_cast<uint16_t>(first)), Value(count)},
                               {Out(&signal), Out(piece.data())})) {
                return std::nullopt;
            }
            sink(size, vector, signal, std::span<const int16_t>(piece.data(), count));
        }
    }
    return size;
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
