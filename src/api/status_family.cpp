#include "api/status_family.h"

#include <array>

#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{11, 15}}};

std::vector<CatalogueCommand> Catalogue() {
    return {
        {.name = "ReadAxisStatus", .code = 11, .returns = {{"status", TYPE_BITS16}}},
        {.name = "ReadError", .code = 12, .returns = {{"error", TYPE_INT}}},
        {.name = "ClearError", .code = 13},
        {.name = "ReadWarning", .code = 14, .returns = {{"warning", TYPE_INT}}},
        {.name = "ClearWarning", .code = 15},
    };
}

}  // namespace

CStatusFamily::CStatusFamily() : CCommandFamily("Status", Catalogue()) {}

std::span<const CodeRange> CStatusFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
