#include "api/autotune_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "api/recorder_family.h"
#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 2> kRanges{{
    {CAutotuneFamily::kInitAutotune, CAutotuneFamily::kSquareCurrentTest},
    {CAutotuneFamily::kSetPWM, CAutotuneFamily::kSetPWM},
}};

}  // namespace

CAutotuneFamily::CAutotuneFamily() : CCommandFamily("Autotuning", CatalogueRows("Autotune")) {}

std::span<const CodeRange> CAutotuneFamily::GetCodeRanges() const {
    return kRanges;
}

}  // namespace kelcmd
