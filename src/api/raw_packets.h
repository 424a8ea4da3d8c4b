#pragma once

#include <cstdint>

#include "kelcmd/kelcmd.h"

namespace kelcmd {

// The raw packet layer of the bus exports. Both go through the port, under its lock and its
// reservation, exactly as the commands do, so a raw frame never interleaves with another thread's
// exchange; both leave the calling thread's outcome behind.

// One transmission of `packet` on the named port (with `retry`, until acknowledged): a result code.
uint8_t SendPacketOn(const char* portName, KebPacket* packet, bool retry);

// One reception into `packet` (with `resend`, asking for damaged answers again). A closed or
// reserved port leaves the caller's packet as it was.
uint8_t ReceivePacketOn(const char* portName, KebPacket* packet, uint32_t timeout, bool resend);

// Records an opening as the thread's outcome (the operating system's reason stays with a failure)
// and gives its result back.
uint8_t RecordOpening(uint8_t result);

}  // namespace kelcmd
