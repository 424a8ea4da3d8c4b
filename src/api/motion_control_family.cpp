#include "api/motion_control_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{32, 47}}};

}  // namespace

CMotionControlFamily::CMotionControlFamily()
    : CCommandFamily("MotionControl", CatalogueRows("MotionControl")) {}

void CMotionControlFamily::DeclareLinks(CParameterLinks& links) const {
    for (const char* name : {"profiletype", "accel", "decel"}) {
        links.Declare("ReadProfile", name, "SetProfile", name);
    }
    links.Declare("ReadProfile", "ceilVel", "SetPosVelocity", "posVelocity");
}

std::span<const CodeRange> CMotionControlFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
