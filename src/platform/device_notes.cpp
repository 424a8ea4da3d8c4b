#include "platform/device_notes.h"

namespace kelcmd {

std::string KernelRs485Note() {
    return "the kernel's RS485 mode is on: it switches the transmitter, and RTS is left to it";
}

std::string LatencyTimerNote(uint32_t milliseconds) {
    return "each reception waits up to " + std::to_string(milliseconds) +
           " ms (the adapter's latency timer): install the udev rule of the kelcmd package "
           "(60-kelcmd-usb-serial.rules), which sets 1 ms";
}

std::string LowLatencyNote() {
    return "low latency (ASYNC_LOW_LATENCY) cannot be set: answers may arrive late";
}

}  // namespace kelcmd
