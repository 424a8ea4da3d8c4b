#include "api/motion_control_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{32, 47}}};

// Commands that wait for the unit to finish something answer late: 5000 ms unless the caller
// gives its own timeout.
constexpr uint32_t kWaitingTimeout = 5000;

std::vector<CatalogueCommand> Catalogue() {
    const std::vector<CatalogueParameter> infoReturns = {{"flags", TYPE_BITS8},
                                                         {"duration", TYPE_LWORD}};
    return {
        {.name = "SetRegMode", .code = 32, .send = {{"regmode", TYPE_BYTE}}, .defaults = {2}},
        {.name = "SetProfile",
         .code = 33,
         .send = {{"profiletype", TYPE_BYTE}, {"accel", TYPE_FLOAT}, {"decel", TYPE_FLOAT}},
         .defaults = {1, 0.5, 0.5}},
        {.name = "SetPosVelocity",
         .code = 34,
         .send = {{"posVelocity", TYPE_FLOAT}},
         .defaults = {10.0}},
        {.name = "SetWaitMode", .code = 35, .send = {{"waitMode", TYPE_BYTE}}, .defaults = {0}},
        {.name = "MoveAbsolute",
         .code = 36,
         .send = {{"position", TYPE_LINT}},
         .defaults = {0},
         .answerTimeout = kWaitingTimeout},
        {.name = "MoveAbsoluteInfo",
         .code = 36,
         .send = {{"position", TYPE_LINT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {0, 0},
         .answerTimeout = kWaitingTimeout},
        {.name = "MoveRelative",
         .code = 37,
         .send = {{"relPosition", TYPE_LINT}},
         .defaults = {100},
         .answerTimeout = kWaitingTimeout},
        {.name = "MoveRelativeInfo",
         .code = 37,
         .send = {{"relPosition", TYPE_LINT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {100, 0},
         .answerTimeout = kWaitingTimeout},
        {.name = "WaitForTargetPos",
         .code = 38,
         .send = {{"timeout", TYPE_LWORD}},
         .defaults = {5000},
         .answerTimeout = kWaitingTimeout},
        {.name = "SetVelocity", .code = 39, .send = {{"velocity", TYPE_FLOAT}}, .defaults = {10.0}},
        {.name = "SetVelocityInfo",
         .code = 39,
         .send = {{"velocity", TYPE_FLOAT}, {"option", TYPE_BYTE}},
         .returns = infoReturns,
         .defaults = {10.0, 0}},
        // The default is an abrupt stop, kept as the single byte the parameter holds.
        {.name = "StopMotion", .code = 40, .send = {{"stopMotion", TYPE_BYTE}}, .defaults = {0}},
        {.name = "FindHomeSys",
         .code = 41,
         .send = {{"timeout", TYPE_LWORD}},
         .defaults = {5000},
         .answerTimeout = kWaitingTimeout},
        {.name = "FindHome",
         .code = 42,
         .send = {{"hometype", TYPE_BYTE},
                  {"current", TYPE_WORD},
                  {"velocity", TYPE_FLOAT},
                  {"offset", TYPE_LINT},
                  {"timeout", TYPE_LWORD}},
         .defaults = {8, 200, 10.0, 0, 5000},
         .answerTimeout = kWaitingTimeout},
        {.name = "FindHomeEx",
         .code = 42,
         .send = {{"hometype", TYPE_BYTE},
                  {"current", TYPE_WORD},
                  {"velocity", TYPE_FLOAT},
                  {"offset", TYPE_LINT},
                  {"timeout", TYPE_LWORD},
                  {"homePosition", TYPE_LINT}},
         .defaults = {8, 200, 10.0, 0, 5000, 0},
         .answerTimeout = kWaitingTimeout},
        {.name = "FindIndex",
         .code = 43,
         .send = {{"velocity", TYPE_FLOAT}, {"timeout", TYPE_LWORD}},
         .defaults = {10.0, 5000},
         .answerTimeout = kWaitingTimeout},
        {.name = "DefinePosition", .code = 44, .send = {{"position", TYPE_LINT}}, .defaults = {0}},
        {.name = "WaitForPosition",
         .code = 45,
         .send = {{"position", TYPE_LINT}, {"timeout", TYPE_LWORD}},
         .defaults = {0, 5000},
         .answerTimeout = kWaitingTimeout},
        {.name = "ReadIndexDistance", .code = 46, .returns = {{"distance", TYPE_LINT}}},
        {.name = "ReadProfile",
         .code = 47,
         .returns = {{"profiletype", TYPE_BYTE},
                     {"accel", TYPE_FLOAT},
                     {"decel", TYPE_FLOAT},
                     {"ceilVel", TYPE_FLOAT}}},
    };
}

}  // namespace

CMotionControlFamily::CMotionControlFamily() : CCommandFamily("MotionControl", Catalogue()) {}

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
