#include "api/recorder_family.h"

#include <array>

#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 1> kRanges{
    {{CRecordingFamily::kSetupRecorder, CRecordingFamily::kReadRecordedData}}};

std::vector<CatalogueCommand> RecordingCatalogue() {
    return {
        {.name = "SetupRecorder",
         .code = CRecordingFamily::kSetupRecorder,
         .send = {{"period", TYPE_WORD}, {"dataType", TYPE_BYTE}, {"autoRecord", TYPE_BYTE}},
         .defaults = {1, 1, 1}},
        {.name = "RecordData",
         .code = CRecordingFamily::kRecordData,
         .send = {{"regulator", TYPE_BYTE}},
         .defaults = {0}},
        {.name = "ReadNbOfSamples",
         .code = CRecordingFamily::kReadNbOfSamples,
         .returns = {{"terminated", TYPE_BYTE},
                     {"nbOfSamples", TYPE_WORD},
                     {"period", TYPE_LWORD}}},
        {.name = "ReadRecordedData",
         .code = CRecordingFamily::kReadRecordedData,
         .send = {{"vector", TYPE_BYTE}, {"firstSample", TYPE_WORD}, {"nbOfSamples", TYPE_WORD}},
         .returns = {{"dataType", TYPE_BYTE},
                     {"data", TYPE_INT_ARRAY, 2u * CRecordingFamily::kMaxSamplesPerRead}},
         .defaults = {0, 0, CRecordingFamily::kMaxSamplesPerRead},
         .answerTimeout = 5000,
         .extraSend = {{"samplePeriod", TYPE_LWORD}},
         .extraDefaults = {1000}},
    };
}

}  // namespace

CRecordingFamily::CRecordingFamily() : CCommandFamily("Recording", RecordingCatalogue()) {}

std::span<const CodeRange> CRecordingFamily::GetCodeRanges() const {
    return kRanges;
}

}  // namespace kelcmd
