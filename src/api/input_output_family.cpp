#include "api/input_output_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{64, 70}}};

}  // namespace

CInputOutputFamily::CInputOutputFamily()
    : CCommandFamily("InputOutput", CatalogueRows("InputOutput")) {}

std::span<const CodeRange> CInputOutputFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
