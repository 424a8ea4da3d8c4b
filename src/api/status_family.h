#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "Status": the axis status word, the unit's current error and warning, and their clearing.
class CStatusFamily : public CCommandFamily {
  public:
    CStatusFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
