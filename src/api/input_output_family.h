#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "InputOutput": digital inputs (one or a byte of them, or waiting for a level), digital outputs,
// analog inputs and the duty cycle of the user PWM output.
class CInputOutputFamily : public CCommandFamily {
  public:
    CInputOutputFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
