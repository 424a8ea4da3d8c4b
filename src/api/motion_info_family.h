#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "MotionInfo": position, velocity and current of the axis, as measured, as commanded or
// averaged, alone or together, and the combined axis information. Reads only; no defaults.
class CMotionInfoFamily : public CCommandFamily {
  public:
    CMotionInfoFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
