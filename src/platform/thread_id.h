#pragma once

#include <cstdint>

namespace kelcmd {

// A 32-bit identifier of the calling thread, never 0 and never shared by two live threads.
uint32_t CurrentThreadId();

}  // namespace kelcmd
