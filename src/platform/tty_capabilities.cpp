#include "platform/tty_capabilities.h"

#include <errno.h>
#include <termios.h>

#include <utility>

namespace kelcmd {
namespace {

// Sets `bits` on top of `original` and reads the record back: whether the driver kept them.
std::optional<bool> KeepsBits(TtyDriver& driver, const TtyAttributes& original, uint32_t bits) {
    TtyAttributes trial = original;
    trial.cflag |= bits;
    if (driver.SetAttributes(trial) != 0) return false;
    TtyAttributes back;
    if (driver.GetAttributes(back) != 0) return std::nullopt;
    return (back.cflag & bits) == bits;
}

}  // namespace

std::optional<bool> ProbeAddressBit(TtyDriver& driver) {
    TtyRs485 original;
    if (driver.GetRs485(original) != 0) return false;
    if (original.enabled && original.addressBit) return true;
    TtyRs485 trial = original;
    if (!original.enabled) {
        trial.rtsOnSend = true;
        trial.rtsAfterSend = false;
    }
    trial.enabled = true;
    trial.addressBit = true;
    trial.destination.reset();
    if (driver.SetRs485(trial) != 0) return false;
    TtyRs485 back;
    TtyAttributes record;
    const bool read = driver.GetRs485(back) == 0 && driver.GetAttributes(record) == 0;
    original.destination.reset();  // an address is never sent again
    (void)driver.SetRs485(original);
    if (!read) return std::nullopt;
    return back.enabled && back.addressBit && (record.cflag & kTtyAddressBit) != 0;
}

TtyCapabilities ProbeTty(const std::string& path) {
    return ProbeTty(path, MakeKernelTtyDriver());
}

TtyCapabilities ProbeTty(const std::string& path, std::unique_ptr<TtyDriver> driver) {
    TtyCapabilities found;
    found.path = path;
    if (const int failed = driver->Open(path)) {
        found.openError = {failed, "open", path};
        return found;
    }
    if (const int failed = driver->Lock()) {
        found.openError = {failed == EWOULDBLOCK ? EBUSY : failed, "open", path};
        (void)driver->Close();
        return found;
    }
    found.pseudoTerminal = driver->IsPseudoTerminal();
    found.driverName = driver->DriverName();

    TtyAttributes original;
    if (driver->GetAttributes(original) == 0) {
        found.markSpaceParity = KeepsBits(*driver, original, PARENB | CMSPAR | PARODD);
        (void)driver->SetAttributes(original);
        found.addressBit = ProbeAddressBit(*driver);
    }
    int lines = 0;
    const int linesFailed = driver->GetModemLines(lines);
    found.modemLines = linesFailed == 0;
    bool empty = false;
    found.transmitterEmptyStatus = driver->GetTransmitterEmpty(empty) == 0;
    TtyRs485 rs485;
    if (driver->GetRs485(rs485) == 0) found.kernelRs485Enabled = rs485.enabled;
    bool lowLatency = false;
    if (driver->GetLowLatency(lowLatency) == 0) found.lowLatency = lowLatency;
    uint32_t latency = 0;
    if (driver->GetLatencyTimer(latency) == 0) found.latencyTimerMs = latency;
    (void)driver->Close();
    return found;
}

}  // namespace kelcmd
