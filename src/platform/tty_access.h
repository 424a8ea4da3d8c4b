#pragma once

#include <string>

#include "platform/system_error.h"

namespace kelcmd {

// Why this user may not open the device at `path` and what to do about it, for a refused open:
// "/dev/ttyUSB0 belongs to group dialout (crw-rw----), which this user is not in: sudo usermod
// -aG dialout $USER, then log in again". Empty when the device cannot be examined.
std::string DescribeDeviceAccess(const std::string& path);

// Adds to the reason of a refused open what the user needs to act on it: who holds a busy
// device, which group a device belongs to that this user may not open.
void ExplainRefusedOpen(SystemError& error);

// A warning when other processes have the tty at `path` open although this one could lock it:
// they did not lock it (a terminal program), and their reads and writes would corrupt the
// exchanges. Empty when nobody else has it open.
std::string SharedOpenWarning(const std::string& path);

}  // namespace kelcmd
