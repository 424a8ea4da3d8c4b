#include "api/motion_info_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{48, 63}}};

}  // namespace

CMotionInfoFamily::CMotionInfoFamily()
    : CCommandFamily("MotionInfo", CatalogueRows("MotionInfo")) {}

std::span<const CodeRange> CMotionInfoFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
