#include "api/miscellaneous_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 2> kCodes{{{71, 74}, {79, 79}}};

}  // namespace

CMiscellaneousFamily::CMiscellaneousFamily()
    : CCommandFamily("Miscellanous Functions", CatalogueRows("Miscellaneous")) {}

std::span<const CodeRange> CMiscellaneousFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
