#include "api/recorder_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 1> kRanges{
    {{CRecordingFamily::kSetupRecorder, CRecordingFamily::kReadRecordedData}}};

}  // namespace

CRecordingFamily::CRecordingFamily() : CCommandFamily("Recording", CatalogueRows("Recording")) {}

std::span<const CodeRange> CRecordingFamily::GetCodeRanges() const {
    return kRanges;
}

}  // namespace kelcmd
