#include "api/motion_info_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{48, 63}}};

std::vector<CatalogueCommand> Catalogue() {
    const CatalogueParameter positionIs{"positionIs", TYPE_LINT};
    const CatalogueParameter positionMust{"positionMust", TYPE_LINT};
    const CatalogueParameter velocityIs{"velocityIs", TYPE_FLOAT};
    const CatalogueParameter velocityMean{"velocityMean", TYPE_FLOAT};
    const CatalogueParameter velocityMust{"velocityMust", TYPE_FLOAT};
    const CatalogueParameter currentIs{"currentIs", TYPE_INT};
    const CatalogueParameter currentMean{"currentMean", TYPE_INT};
    const CatalogueParameter currentMust{"currentMust", TYPE_INT};
    return {
        {.name = "ReadPosition", .code = 48, .returns = {positionIs}},
        {.name = "ReadPositionMust", .code = 49, .returns = {positionMust}},
        {.name = "ReadPositionIsMust", .code = 50, .returns = {positionIs, positionMust}},
        {.name = "ReadVelocity", .code = 51, .returns = {velocityIs}},
        {.name = "ReadVelocityMean", .code = 52, .returns = {velocityMean}},
        {.name = "ReadVelocityMust", .code = 53, .returns = {velocityMust}},
        {.name = "ReadVelocityIsMust", .code = 54, .returns = {velocityIs, velocityMust}},
        {.name = "ReadCurrent", .code = 55, .returns = {currentIs}},
        {.name = "ReadCurrentMean", .code = 56, .returns = {currentMean}},
        {.name = "ReadCurrentMust", .code = 57, .returns = {currentMust}},
        {.name = "ReadCurrentIsMust", .code = 58, .returns = {currentIs, currentMust}},
        {.name = "ReadPosVelCur", .code = 59, .returns = {positionIs, velocityIs, currentIs}},
        {.name = "ReadPosVelCurMean",
         .code = 60,
         .returns = {positionIs, velocityMean, currentMean}},
        {.name = "ReadPosVelCurMust",
         .code = 61,
         .returns = {positionMust, velocityMust, currentMust}},
        {.name = "ReadPosVelCurIsMust",
         .code = 62,
         .returns = {positionIs, velocityIs, currentIs, positionMust, velocityMust, currentMust}},
        {.name = "ReadAxisInfo",
         .code = 63,
         .returns = {{"status", TYPE_BITS16},
                     {"userInputs", TYPE_BITS8},
                     {"predefinedInputs", TYPE_BITS8},
                     positionIs,
                     velocityMean,
                     currentMean}},
    };
}

}  // namespace

CMotionInfoFamily::CMotionInfoFamily() : CCommandFamily("MotionInfo", Catalogue()) {}

std::span<const CodeRange> CMotionInfoFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
