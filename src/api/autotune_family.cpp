#include "api/autotune_family.h"

#include <array>

#include "api/recorder_family.h"
#include "command/parameter_types.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

constexpr std::array<CodeRange, 2> kRanges{{
    {CAutotuneFamily::kInitAutotune, CAutotuneFamily::kSquareCurrentTest},
    {CAutotuneFamily::kSetPWM, CAutotuneFamily::kSetPWM},
}};

// The recording a test leaves, kept with its command: four arrays of 16-bit samples (vectors 0 to
// 3) and the sample period.
std::vector<CatalogueParameter> KeptRecording(const char* v0, const char* v1, const char* v2,
                                              const char* v3) {
    return {{v0, TYPE_BYTE_ARRAY},
            {v1, TYPE_BYTE_ARRAY},
            {v2, TYPE_BYTE_ARRAY},
            {v3, TYPE_BYTE_ARRAY},
            {"samplePeriod", TYPE_LWORD}};
}

std::vector<CatalogueCommand> AutotuneCatalogue() {
    return {
        {.name = "InitAutotune",
         .code = CAutotuneFamily::kInitAutotune,
         .send = {{"toTune", TYPE_BYTE},
                  {"startParam", TYPE_BYTE},
                  {"costFunction", TYPE_BYTE},
                  {"extent", TYPE_BYTE}},
         .defaults = {2, 0, 202, 0},
         .answerTimeout = 500},
        {.name = "Autotune",
         .code = CAutotuneFamily::kAutotune,
         .returns = {{"improveFactor", TYPE_INT}},
         .answerTimeout = 300000,
         .extraReturns = KeptRecording("pGain", "iGain", "dGain", "performanceFactor")},
        {.name = "SquareCurrentTest",
         .code = CAutotuneFamily::kSquareCurrentTest,
         .send = {{"jumpAmplitude", TYPE_WORD}},
         .defaults = {200},
         .answerTimeout = 2000,
         .extraReturns = KeptRecording("pGain", "iGain", "dGain", "performanceFactor")},
        {.name = "SetPWM",
         .code = CAutotuneFamily::kSetPWM,
         .send = {{"dutyCycle", TYPE_INT}, {"stayInPWMmode", TYPE_BYTE}},
         .defaults = {1, 0},
         .answerTimeout = 2000,
         .extraReturns =
             KeptRecording("curIntegrator", "pwmDutyCycle", "currentMust", "currentIs")},
    };
}

}  // namespace

CAutotuneFamily::CAutotuneFamily() : CCommandFamily("Autotuning", AutotuneCatalogue()) {}

std::span<const CodeRange> CAutotuneFamily::GetCodeRanges() const {
    return kRanges;
}

}  // namespace kelcmd
