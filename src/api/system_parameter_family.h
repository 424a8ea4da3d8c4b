#pragma once

#include <cstdint>
#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "SystemParameter": single parameters by number, the whole set in its short (T_SysParam) and
// extended (T_SysParamEx) form, reset and permanent storage, the regulators' gains and the
// unit's version words. Building the family installs the two sets' field layouts, so that they
// travel field by field, most significant byte first.
class CSystemParameterFamily : public CCommandFamily {
  public:
    CSystemParameterFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
    // Each read command feeds the write command of the same set or gains.
    void DeclareLinks(CParameterLinks& links) const override;

    // Re-types the `value` parameter of ReadTempParam, ReadPermanentParam (return side) or
    // SetTempParam (send side) to the type and width of parameter `number`. False, and nothing
    // changed, for a number above 78 or a command without such a parameter.
    static bool RetypeValue(CKelStandardCommand& command, uint32_t number);
};

}  // namespace kelcmd
