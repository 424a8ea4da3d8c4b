#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/system_error.h"
#include "platform/tty_driver.h"

namespace kelcmd {

// What a test open of a tty found out about its driver; what a diagnosis prints. Settings that
// can only be learnt by setting and reading them back are unknown when the device could not be
// opened (busy, no access).
struct TtyCapabilities {
    std::string path;
    SystemError openError;  // number 0 when the test open succeeded
    bool pseudoTerminal = false;
    std::string driverName;  // empty when unknown
    // Whether the driver keeps mark/space parity (CMSPAR), and whether it offers nine-bit
    // addressing (ADDRB, ProbeAddressBit); nullopt: unknown.
    std::optional<bool> markSpaceParity;
    std::optional<bool> addressBit;
    std::optional<bool> modemLines;
    std::optional<bool> transmitterEmptyStatus;  // TIOCSERGETLSR answers
    // The kernel's RS485 mode: nullopt when the driver has none (or unknown), else whether it is
    // on.
    std::optional<bool> kernelRs485Enabled;
    std::optional<bool> lowLatency;          // ASYNC_LOW_LATENCY; nullopt: not offered
    std::optional<uint32_t> latencyTimerMs;  // a USB adapter's latency_timer
};

// Whether the driver offers nine-bit addressing (ADDRB). Linux switches it only through the RS485
// settings (the line record's ADDRB follows them), so it is tried there, the RS485 mode turned on
// for the moment where it was off, and the RS485 settings put back; a driver without an RS485
// mode has none. Null when the settings could not be read back.
std::optional<bool> ProbeAddressBit(TtyDriver& driver);

// Opens `path` for a moment (exclusively, as a line does), tries the settings and puts the line
// record back as it was.
TtyCapabilities ProbeTty(const std::string& path);
TtyCapabilities ProbeTty(const std::string& path, std::unique_ptr<TtyDriver> driver);

}  // namespace kelcmd
