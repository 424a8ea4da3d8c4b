#pragma once

#include "platform/tty_driver.h"

namespace kelcmd {

// The line errors (the kernel's counts of framing and parity errors, overruns and breaks) that
// devices saw during the calling thread's reads, summed until taken. A call takes them at its
// start and at its end, so that its outcome counts its own.
void AddThreadLineErrors(const TtyCounters& counts);
TtyCounters TakeThreadLineErrors();

}  // namespace kelcmd
