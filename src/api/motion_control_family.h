#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "MotionControl": regulation mode, trajectory profile, absolute, relative and velocity moves,
// waits for positions, stop, home and index searches, redefinition of the position.
class CMotionControlFamily : public CCommandFamily {
  public:
    CMotionControlFamily();

    // ReadProfile's answer feeds SetProfile and SetPosVelocity.
    void DeclareLinks(CParameterLinks& links) const override;
    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
