#include "platform/serial_device.h"

#include "platform/posix_serial_device.h"
#include "sim/sim_device.h"

namespace kelcmd {

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& devicePath) {
    if (devicePath == "sim" || devicePath.rfind("sim:", 0) == 0) {
        return sim::OpenSimulatedDevice(devicePath);
    }
    return PosixSerialDevice::Open(devicePath);
}

}  // namespace kelcmd
