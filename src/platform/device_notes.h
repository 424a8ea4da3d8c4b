#pragma once

#include <cstdint>
#include <string>

namespace kelcmd {

// What the user should know about how a device is driven, in the same words wherever it is said:
// in an open port's description and in kelcmd doctor.

// The kernel's RS485 mode switches the transmitter; a line then never touches RTS.
std::string KernelRs485Note();
// A USB adapter that keeps every answer back for `milliseconds`.
std::string LatencyTimerNote(uint32_t milliseconds);
// ASYNC_LOW_LATENCY is off and could not be set.
std::string LowLatencyNote();

}  // namespace kelcmd
