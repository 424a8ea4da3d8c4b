#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "Miscellanous Functions": system time, a timed wait on the unit, a fixed current, the power
// electronics' status and temperature, and the highest level the processor stack has reached.
class CMiscellaneousFamily : public CCommandFamily {
  public:
    CMiscellaneousFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
