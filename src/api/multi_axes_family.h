#pragma once

#include <span>

#include "command/command_family.h"

namespace kelcmd {

// "Multi Axes": motions prepared on several units and started together by StartMovement.
class CMultiAxesFamily : public CCommandFamily {
  public:
    CMultiAxesFamily();

    std::span<const CodeRange> GetCodeRanges() const override;
};

}  // namespace kelcmd
