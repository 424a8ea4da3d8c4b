#include "port_doctor.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

#include "platform/device_notes.h"
#include "platform/device_options.h"
#include "platform/ninth_bit.h"
#include "platform/serial_ports.h"
#include "platform/tty_access.h"
#include "platform/tty_capabilities.h"
#include "platform/tty_holders.h"
#include "transport/port_resolver.h"

namespace kelcmd::app {
namespace {

namespace fs = std::filesystem;

std::string Names(const SerialPortEntry& port) {
    std::string text = port.device;
    for (const std::string& link : port.byId) text += "\n    " + link;
    return text;
}

bool MayOpen(const std::string& device) {
    return ::access(device.c_str(), R_OK | W_OK) == 0;
}

bool ModemManagerRuns() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "ModemManager") return true;
    }
    return false;
}

const char* YesNo(const std::optional<bool>& value, const char* yes, const char* no) {
    if (!value) return "unknown";
    return *value ? yes : no;
}

// Prints what a test open learnt of the driver and how a line (kelcmd's, which switches RTS) with
// `options` will produce the ninth bit; `fix` reports each thing that stands in the way.
template <typename Fix>
void ReportCapabilities(const TtyCapabilities& caps, const DeviceOptions& options, const Fix& fix) {
    if (caps.openError.number != 0) {
        fix("a test open failed: " + DescribeSystemError(caps.openError));
        return;
    }
    std::printf("  mark/space parity %s, modem lines %s, transmitter-empty status %s\n",
                YesNo(caps.markSpaceParity, "kept", "NOT kept"),
                YesNo(caps.modemLines, "yes", "no"),
                YesNo(caps.transmitterEmptyStatus, "yes", "no"));
    std::printf("  kernel RS485 %s, low latency %s\n",
                caps.kernelRs485Enabled ? (*caps.kernelRs485Enabled ? "on" : "off") : "not offered",
                caps.lowLatency ? (*caps.lowLatency ? "on" : "off") : "not offered");
    const bool kernelMaySwitch = caps.kernelRs485Enabled == true || !options.keepModemLines;
    const NinthBitSource ninth = ChooseNinthBit(options, caps.pseudoTerminal,
                                                caps.addressBit.value_or(false), kernelMaySwitch);
    std::printf("  nine-bit addressing (ADDRB) %s: %s\n",
                YesNo(caps.addressBit, "offered", "not offered"), NinthBitText(ninth).c_str());
    if (caps.kernelRs485Enabled == true) std::printf("  %s\n", KernelRs485Note().c_str());
    if (ninth == NinthBitSource::kMarkSpace && caps.markSpaceParity == false) {
        fix("the driver drops mark/space parity: open it with ?ninth=oddeven, or use an "
            "adapter that keeps it");
    }
    if (caps.modemLines == false && caps.kernelRs485Enabled != true) {
        std::printf(
            "  no modem lines: RTS cannot switch the transmitter; use an adapter that switches "
            "direction itself (?lines=keep) or the kernel's RS485 mode (?rs485=kernel)\n");
    }
}

// Prints one device and what to fix; returns how many problems it found.
int Examine(const SerialPortEntry& port, const DeviceOptions& options, bool modemManager) {
    int problems = 0;
    const auto fix = [&problems](const std::string& text) {
        std::printf("  fix: %s\n", text.c_str());
        ++problems;
    };
    std::printf("%s\n  driver %s\n", Names(port).c_str(),
                port.driver.empty() ? "unknown" : port.driver.c_str());
    if (!MayOpen(port.device)) {
        fix(DescribeDeviceAccess(port.device));
    } else {
        std::printf("  this user may open it\n");
    }
    const std::string holders = DescribeDeviceHolders(FindDeviceHolders(port.device));
    if (!holders.empty()) {
        fix("held by " + holders + ": end it, or choose another device");
    }
    std::optional<uint32_t> latencyTimer;
    if (MayOpen(port.device) && holders.empty()) {
        const TtyCapabilities caps = ProbeTty(port.device);
        ReportCapabilities(caps, options, fix);
        latencyTimer = caps.latencyTimerMs;
    }
    if (!latencyTimer) latencyTimer = port.latencyTimerMs;
    if (const auto latency = latencyTimer) {
        std::printf("  latency timer %u ms\n", *latency);
        if (*latency > 1) {
            fix(LatencyTimerNote(*latency));
        }
    }
    if (port.byId.empty() && port.device.find("USB") != std::string::npos) {
        std::printf("  no /dev/serial/by-id name: its number may change when replugged\n");
    }
    if (modemManager && !port.byId.empty()) {
        std::printf(
            "  ModemManager runs: unless a udev rule sets ID_MM_DEVICE_IGNORE (the kelcmd "
            "package's does for the adapters it names), it may open the device for a moment\n");
    }
    return problems;
}

}  // namespace

int RunPorts(const std::vector<std::string>& arguments) {
    if (arguments.size() > 1) {
        std::fprintf(stderr, "kelcmd: ports takes no arguments\n");
        return 2;
    }
    const auto ports = ListSerialPorts();
    if (ports.empty()) std::printf("no serial devices\n");
    for (const SerialPortEntry& port : ports) {
        const std::string holders = DescribeDeviceHolders(FindDeviceHolders(port.device));
        std::printf("%s  driver %s, %s%s%s\n", Names(port).c_str(),
                    port.driver.empty() ? "unknown" : port.driver.c_str(),
                    MayOpen(port.device) ? "may be opened" : "no access",
                    holders.empty() ? "" : ", held by ", holders.c_str());
    }
    return 0;
}

int RunDoctor(const std::vector<std::string>& arguments) {
    if (arguments.size() > 2) {
        std::fprintf(stderr, "kelcmd: usage: kelcmd doctor [DEVICE]\n");
        return 2;
    }
    std::vector<SerialPortEntry> ports = ListSerialPorts();
    DeviceOptions options;
    if (arguments.size() == 2) {
        // A device text may carry options ("/dev/ttyS1?ninth=markspace"); they change the advice.
        std::string refusal;
        const auto text =
            ParseDeviceText(ResolvePortDevice(arguments[1]).value_or(arguments[1]), refusal);
        if (!text) {
            std::fprintf(stderr, "kelcmd: %s\n", refusal.c_str());
            return 2;
        }
        options = text->options;
        const std::string& device = text->path;
        std::error_code error;
        const fs::path target = fs::canonical(device, error);
        if (error) {
            std::printf(
                "%s: %s\n  fix: plug the adapter in, or name the device that "
                "`kelcmd ports` lists\n",
                device.c_str(), error.message().c_str());
            return 1;
        }
        std::vector<SerialPortEntry> chosen;
        for (const SerialPortEntry& port : ports) {
            // Not fs::equivalent: it refuses device nodes ("Operation not supported").
            if (fs::canonical(port.device, error) == target) chosen.push_back(port);
        }
        if (chosen.empty()) {
            SerialPortEntry unlisted;  // a device the kernel lists as no serial port
            unlisted.device = target.string();
            chosen.push_back(std::move(unlisted));
        }
        ports = chosen;
    }
    if (ports.empty()) {
        std::printf(
            "no serial devices: plug the adapter in (`dmesg` tells whether the kernel "
            "saw it)\n");
        return 1;
    }
    const bool modemManager = ModemManagerRuns();
    int problems = 0;
    for (const SerialPortEntry& port : ports) problems += Examine(port, options, modemManager);
    if (problems == 0) {
        std::printf("nothing to fix\n");
    } else {
        std::printf("%d thing(s) to fix\n", problems);
    }
    return problems == 0 ? 0 : 1;
}

}  // namespace kelcmd::app
