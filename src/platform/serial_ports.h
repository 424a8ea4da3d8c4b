#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelcmd {

// A serial device of this machine as the kernel lists it.
struct SerialPortEntry {
    std::string device;             // "/dev/ttyUSB0"
    std::vector<std::string> byId;  // the links of /dev/serial/by-id that lead to it
    std::string driver;             // "ftdi_sio", "serial8250", "cdc_acm"; empty when unknown
    std::optional<uint32_t> latencyTimerMs{};  // a USB adapter's latency_timer, where it has one
};

// Where the kernel shows its ttys and their device files. Tests point them into a tree of their
// own; everyone else takes the system's.
struct SerialPortRoots {
    std::string ttyClass = "/sys/class/tty";
    std::string devices = "/dev";
};

// The ttys that have hardware behind them (not virtual consoles or pseudo-terminals; of the
// ports the serial core lists, only those that exist), sorted by device name. A tree that cannot
// be read gives what could be read of it, at worst nothing.
std::vector<SerialPortEntry> ListSerialPorts(const SerialPortRoots& roots = {});

}  // namespace kelcmd
