#include "api/status_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{11, 15}}};

}  // namespace

CStatusFamily::CStatusFamily() : CCommandFamily("Status", CatalogueRows("Status")) {}

std::span<const CodeRange> CStatusFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
