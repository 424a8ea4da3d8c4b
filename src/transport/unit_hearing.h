#pragma once

namespace kelcmd {

// Whether the unit may have acted on the calling thread's last request: it acknowledged (with
// anything but "frame corrupted"), or an answer began, whatever the exchange's result. A line sets
// it while it runs the exchange, on the thread that asked for it; the outcome of the call reads it.
bool UnitMayHaveActed();
void NoteUnitMayHaveActed();
// Before a request goes out: nothing heard yet.
void ForgetUnitMayHaveActed();

}  // namespace kelcmd
