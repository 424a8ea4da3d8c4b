#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace kelcmd::sim {

// Opens a device on the simulated bus named by `device` ("sim" or "sim:<options>"). Null when the
// device is malformed or the bus is already open.
std::unique_ptr<SerialDevice> OpenSimulatedDevice(const std::string& device);

}  // namespace kelcmd::sim
