#include "api/exception_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{8, 10}}};

// ResetSlave's code is one the unit only acknowledges: it resets instead of answering.
std::vector<CatalogueCommand> Catalogue() {
    return {
        {.name = "ResetSlave", .code = 8, .send = {{"bootmode", TYPE_BYTE}}, .defaults = {1}},
        {.name = "HaltFunction", .code = 9},
        {.name = "BrakeFunction", .code = 10},
    };
}

}  // namespace

CExceptionFamily::CExceptionFamily() : CCommandFamily("Exception", Catalogue()) {}

std::span<const CodeRange> CExceptionFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
