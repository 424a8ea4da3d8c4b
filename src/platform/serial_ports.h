#pragma once

#include <string>
#include <vector>

namespace kelcmd {

// A serial device of this machine as the kernel lists it.
struct SerialPortEntry {
    std::string device;             // "/dev/ttyUSB0"
    std::vector<std::string> byId;  // the links of /dev/serial/by-id that lead to it
    std::string driver;             // "ftdi_sio", "serial8250", "cdc_acm"; empty when unknown
};

// The ttys that have hardware behind them (not virtual consoles or pseudo-terminals; of the
// ports the serial core lists, only those that exist), sorted by device name. The roots are
// "/sys/class/tty" and "/dev" but for tests.
std::vector<SerialPortEntry> ListSerialPorts(const std::string& classRoot = "/sys/class/tty",
                                             const std::string& deviceRoot = "/dev");

}  // namespace kelcmd
