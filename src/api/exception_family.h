#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "Exception": reset of the unit, halt and brake.
class CExceptionFamily : public CCommandFamily {
  public:
    CExceptionFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
