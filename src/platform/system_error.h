#pragma once

#include <cstddef>
#include <string>

namespace kelcmd {

// The operating system's reason for a failed open or I/O on a device: the errno, the step that
// failed ("open", "set line settings", "read", ...) and the device it failed on.
struct SystemError {
    int number = 0;  // 0: no reason recorded
    std::string operation;
    std::string device;
    // Said instead of the errno's text where that would say too little ("driver ftdi_sio drops
    // mark/space parity" rather than "Invalid argument"); empty: the errno's text.
    std::string reason{};
};

// "open /dev/ttyUSB9: No such file or directory"; empty when `error` holds no reason.
std::string DescribeSystemError(const SystemError& error);

// The same in at most `maxLength` characters, for fixed-size fields. What does not fit is cut
// where it shows: first the middle of the device path, wherever the text names it
// ("open /dev/serial/by-id/usb-FT...A10KXYZ-if00-port0: Permission denied"), so that the reason
// stays whole; when that is not enough, the end, marked by "...".
std::string DescribeSystemError(const SystemError& error, size_t maxLength);

// The errno's own text, e.g. "Device or resource busy".
std::string SystemErrorText(int number);

// The reason of the last failed open or I/O made by the calling thread, so that threaded hosts do
// not see each other's reasons. Devices record their failures here; an open clears it first, so
// that after a failed open it holds that open's reason or none.
const SystemError& ThreadSystemError();
void RecordThreadSystemError(const SystemError& error);
void ClearThreadSystemError();

}  // namespace kelcmd
