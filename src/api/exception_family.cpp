#include "api/exception_family.h"

#include <array>

#include "api/catalogue_rows.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

constexpr std::array<CodeRange, 1> kCodes{{{8, 10}}};

}  // namespace

CExceptionFamily::CExceptionFamily() : CCommandFamily("Exception", CatalogueRows("Exception")) {}

std::span<const CodeRange> CExceptionFamily::GetCodeRanges() const {
    return kCodes;
}

}  // namespace kelcmd
