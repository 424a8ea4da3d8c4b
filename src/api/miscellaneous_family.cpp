#include "api/miscellaneous_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 2> kCodes{{{71, 74}, {79, 79}}};

std::vector<CatalogueCommand> Catalogue() {
    return {
        {.name = "ReadSysTime", .code = 71, .returns = {{"time", TYPE_LWORD}}},
        {.name = "WaitTime", .code = 72, .send = {{"time", TYPE_LWORD}}, .defaults = {1000}},
        {.name = "SetCurrent", .code = 73, .send = {{"current", TYPE_INT}}, .defaults = {500}},
        {.name = "ReadECStatus",
         .code = 74,
         .returns = {{"status", TYPE_BITS8}, {"temperatur", TYPE_BYTE}}},
        {.name = "ReadMaxStack", .code = 79, .returns = {{"stackLevel", TYPE_WORD}}},
    };
}

}  // namespace

CMiscellaneousFamily::CMiscellaneousFamily()
    : CCommandFamily("Miscellanous Functions", Catalogue()) {}

std::span<const CodeRange> CMiscellaneousFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
