#include "api/input_output_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{64, 70}}};

std::vector<CatalogueCommand> Catalogue() {
    return {
        {.name = "ReadInput",
         .code = 64,
         .send = {{"inputNb", TYPE_BYTE}},
         .returns = {{"state", TYPE_BYTE}},
         .defaults = {1}},
        {.name = "ReadInputByte",
         .code = 65,
         .send = {{"portNb", TYPE_BYTE}},
         .returns = {{"state", TYPE_BITS8}},
         .defaults = {0}},
        {.name = "WaitForInput",
         .code = 66,
         .send = {{"inputNb", TYPE_BYTE}, {"state", TYPE_BYTE}, {"timeout", TYPE_LWORD}},
         .defaults = {1, 0, 5000}},
        {.name = "SetOutput",
         .code = 67,
         .send = {{"outputNb", TYPE_BYTE}, {"state", TYPE_BYTE}},
         .defaults = {1, 0}},
        {.name = "SetOutputByte", .code = 68, .send = {{"state", TYPE_BITS8}}, .defaults = {0}},
        {.name = "ReadAnalogInput",
         .code = 69,
         .send = {{"channel", TYPE_BYTE}},
         .returns = {{"value", TYPE_WORD}},
         .defaults = {0}},
        {.name = "SetUserPWM", .code = 70, .send = {{"dutycycle", TYPE_INT}}, .defaults = {0}},
    };
}

}  // namespace

CInputOutputFamily::CInputOutputFamily() : CCommandFamily("InputOutput", Catalogue()) {}

std::span<const CodeRange> CInputOutputFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
