#pragma once

#include <cstdint>
#include <string>

namespace kelcmd::app {

// The operating system's reason of this thread's last failed open or I/O on a port, e.g.
// "write /dev/ttyUSB0: Input/output error"; empty when there is none.
std::string SystemReason();

// Whether `code` is a failure of the port itself (128 to 135), the kind that has a system reason.
bool IsPortFailure(uint32_t code);

// The text of a result code; a port failure is followed by its system reason in parentheses.
std::string ResultTextWithReason(uint32_t code);

// "cannot open Com1 (/dev/ttyUSB9): No such file or directory": the port, its device and why the
// open that returned `result` failed.
std::string OpenFailureText(const std::string& port, uint8_t result);

// What the user should know of an open port, from its serial line: the description (device,
// rate, the ninth bit's way, the device's notes) and the device's notes alone, which are also
// said once after the open. Empty for a port that is not open on a serial line.
struct OpenPortText {
    std::string description;
    std::string notes;
    std::string warning;  // other processes have the tty open without a lock
};
OpenPortText DescribeOpenPort(const std::string& port);

}  // namespace kelcmd::app
