#pragma once

#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace kelcmd::sim {

// Opens a device on the simulated bus named by `device` ("sim" or "sim:<options>"). Null when the
// device is malformed (EINVAL) or the bus is already open (EBUSY), with that reason recorded for
// the calling thread (ThreadSystemError).
std::unique_ptr<SerialDevice> OpenSimulatedDevice(const std::string& device);

// Makes "sim" and "sim:<options>" openable through OpenSerialDevice. Only the first call
// registers; every later one, from any thread, returns once the kind is there.
void RegisterSimulatedDevices();

}  // namespace kelcmd::sim
