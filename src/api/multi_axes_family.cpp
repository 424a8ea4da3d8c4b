#include "api/multi_axes_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{80, 83}}};

}  // namespace

CMultiAxesFamily::CMultiAxesFamily() : CCommandFamily("Multi Axes", CatalogueRows("MultiAxes")) {}

std::span<const CodeRange> CMultiAxesFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
