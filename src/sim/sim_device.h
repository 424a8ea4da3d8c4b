#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace kelcmd::sim {

// Opens a device on the simulated bus named by `device` ("sim" or "sim:<options>"). Null when the
// device is malformed (EINVAL) or the bus is already open (EBUSY), with that reason recorded for
// the calling thread (ThreadSystemError).
std::unique_ptr<SerialDevice> OpenSimulatedDevice(const std::string& device);

}  // namespace kelcmd::sim
