#include "api/multi_axes_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{80, 83}}};

// The prepared motions mirror MoveAbsolute, MoveRelative and SetVelocity; only preparing is
// answered, so the default answer timeout suffices.
std::vector<CatalogueCommand> Catalogue() {
    const std::vector<CatalogueParameter> infoReturns = {{"flags", TYPE_BITS8},
                                                         {"duration", TYPE_LWORD}};
    return {
        {.name = "InitMoveAbsolute",
         .code = 80,
         .send = {{"position", TYPE_LINT}},
         .defaults = {0}},
        {.name = "InitMoveAbsoluteInfo",
         .code = 80,
         .send = {{"position", TYPE_LINT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {0, 0}},
        {.name = "InitMoveRelative",
         .code = 81,
         .send = {{"relPosition", TYPE_LINT}},
         .defaults = {100}},
        {.name = "InitMoveRelativeInfo",
         .code = 81,
         .send = {{"relPosition", TYPE_LINT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {100, 0}},
        {.name = "InitSetVelocity",
         .code = 82,
         .send = {{"velocity", TYPE_FLOAT}},
         .defaults = {10.0}},
        {.name = "InitSetVelocityInfo",
         .code = 82,
         .send = {{"velocity", TYPE_FLOAT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {10.0, 0}},
        {.name = "StartMovement", .code = 83},
    };
}

}  // namespace

CMultiAxesFamily::CMultiAxesFamily() : CCommandFamily("Multi Axes", Catalogue()) {}

std::span<const CodeRange> CMultiAxesFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
