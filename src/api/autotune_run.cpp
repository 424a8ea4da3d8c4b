#include "api/autotune_run.h"

#include <array>
#include <cstring>
#include <vector>

#include "api/autotune_family.h"
#include "api/recording_readout.h"

namespace kelcmd {
namespace {

constexpr size_t kVectors = 4;
constexpr size_t kPeriodIndex = 4;  // after the four arrays

}  // namespace

int RunWithRecording(CKelStandardCommand& command) {
    auto* family = dynamic_cast<CAutotuneFamily*>(command.GetOwner());
    if (family == nullptr || family->GetRecordingFamily() == nullptr) return 0;
    if (command.Extra().GetReturnCount() != kVectors + 1) return 0;
    if (family->Execute(&command) == 0) return 0;
    return ReadKeptRecording(command);
}

int ReadKeptRecording(CKelStandardCommand& command) {
    auto* family = dynamic_cast<CAutotuneFamily*>(command.GetOwner());
    if (family == nullptr || family->GetRecordingFamily() == nullptr) return 0;
    CParameterList& kept = command.Extra();
    if (kept.GetReturnCount() != kVectors + 1) return 0;

    std::array<std::vector<int16_t>, kVectors> arrays;
    const auto size = ReadRecordingPieces(
        family->GetRecordingFamily(), command.GetPortName(), command.GetDestination(),
        [&arrays](const RecordingSize&, uint8_t vector, uint8_t, std::span<const int16_t> piece) {
            if (vector < kVectors)
                arrays[vector].insert(arrays[vector].end(), piece.begin(), piece.end());
        },
        CAutotuneFamily::kMaxKeptSamples);
    if (!size) return 0;

    for (size_t vector = 0; vector < kVectors; ++vector) {
        const std::vector<int16_t>& samples = arrays[vector];
        kept.SetReturnValue(vector, samples.data(),
                            static_cast<uint32_t>(samples.size() * sizeof(int16_t)));
    }
    kept.SetReturnValue(kPeriodIndex, &size->periodUs, sizeof size->periodUs);
    kept.SetValid(true);
    return 1;
}

CRecordedData KeptRecording(const CKelStandardCommand& command) {
    static constexpr std::array<uint8_t, kVectors> kTuningSignals{10, 11, 12, 13};
    static constexpr std::array<uint8_t, kVectors> kCurrentSignals{7, 6, 4, 5};
    const auto& signals = command.GetName() == "Autotune" ? kTuningSignals : kCurrentSignals;
    const CParameterList& kept = command.Extra();
    CRecordedData data;
    if (kept.GetReturnCount() != kVectors + 1) return data;

    uint32_t periodUs = 0;
    const std::span<const uint8_t> period = kept.GetReturnValue(kPeriodIndex);
    if (period.size() == sizeof periodUs) std::memcpy(&periodUs, period.data(), sizeof periodUs);
    const TimeBase base = TimeBaseOfMicroseconds(periodUs);
    for (size_t vector = 0; vector < kVectors; ++vector) {
        const std::span<const uint8_t> bytes = kept.GetReturnValue(vector);
        if (bytes.size() < sizeof(int16_t)) continue;
        std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
        data.AppendSamples(static_cast<uint8_t>(vector), signals[vector], samples, base.period,
                           base.unit);
    }
    return data;
}

}  // namespace kelcmd
