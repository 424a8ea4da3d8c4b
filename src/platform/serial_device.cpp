#include "platform/serial_device.h"

#include <map>
#include <mutex>
#include <string_view>
#include <utility>

#include "platform/posix_serial_device.h"

namespace kelcmd {

namespace {

struct DeviceKinds {
    std::mutex lock;
    std::map<std::string, DeviceFactory, std::less<>> byPrefix;
};

DeviceKinds& TheDeviceKinds() {
    static DeviceKinds kinds;
    return kinds;
}

// The prefix a device text names: all of it, or what stands before its first ':'.
std::string_view PrefixOf(std::string_view device) {
    return device.substr(0, device.find(':'));
}

// A copy of the factory of the kind that fits, empty when none does. The factory runs outside
// the lock, so that a slow open never holds up another thread's open.
DeviceFactory FactoryFor(std::string_view device) {
    DeviceKinds& kinds = TheDeviceKinds();
    std::lock_guard guard(kinds.lock);
    auto it = kinds.byPrefix.find(PrefixOf(device));
    return it == kinds.byPrefix.end() ? DeviceFactory{} : it->second;
}

}  // namespace

bool RegisterDeviceKind(const std::string& prefix, DeviceFactory factory) {
    if (prefix.empty() || prefix.find(':') != std::string::npos || !factory) return false;
    DeviceKinds& kinds = TheDeviceKinds();
    std::lock_guard guard(kinds.lock);
    return kinds.byPrefix.emplace(prefix, std::move(factory)).second;
}

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& devicePath) {
    if (DeviceFactory factory = FactoryFor(devicePath)) return factory(devicePath);
    return PosixSerialDevice::Open(devicePath);
}

}  // namespace kelcmd
