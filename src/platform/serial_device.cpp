#include "platform/serial_device.h"

#include <map>
#include <mutex>
#include <string_view>
#include <utility>

#include "platform/hook.h"
#include "platform/posix_serial_device.h"

namespace kelcmd {

namespace {

// One hook per prefix. A prefix once seen keeps its hook, so that a hook found under the lock
// stays valid after it.
struct DeviceKinds {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<Hook<DeviceFactory>>, std::less<>> byPrefix;
};

// Never destroyed: a library unloaded at exit may still take its kind out.
DeviceKinds& TheDeviceKinds() {
    static DeviceKinds* const kinds = new DeviceKinds();
    return *kinds;
}

// The prefix a device text names: all of it, or what stands before its first ':'.
std::string_view PrefixOf(std::string_view device) {
    return device.substr(0, device.find(':'));
}

// The factory of the kind that fits, null when none does. It runs outside the lock, so that a
// slow open never holds up another thread's open; the handle keeps its kind installed meanwhile.
std::shared_ptr<DeviceFactory> FactoryFor(std::string_view device) {
    DeviceKinds& kinds = TheDeviceKinds();
    std::lock_guard guard(kinds.lock);
    auto it = kinds.byPrefix.find(PrefixOf(device));
    return it == kinds.byPrefix.end() ? nullptr : it->second->Current();
}

}  // namespace

bool RegisterDeviceKind(const std::string& prefix, DeviceFactory factory) {
    if (prefix.empty() || prefix.find(':') != std::string::npos || !factory) return false;
    DeviceKinds& kinds = TheDeviceKinds();
    std::lock_guard guard(kinds.lock);
    std::unique_ptr<Hook<DeviceFactory>>& hook = kinds.byPrefix[prefix];
    if (hook == nullptr) hook = std::make_unique<Hook<DeviceFactory>>();
    if (hook->IsInstalled()) return false;
    hook->Install(std::make_shared<DeviceFactory>(std::move(factory)));
    return true;
}

bool UnregisterDeviceKind(const std::string& prefix) {
    Hook<DeviceFactory>* hook = nullptr;
    {
        DeviceKinds& kinds = TheDeviceKinds();
        std::lock_guard guard(kinds.lock);
        auto it = kinds.byPrefix.find(prefix);
        if (it == kinds.byPrefix.end()) return false;
        hook = it->second.get();
    }
    // Waits for the opens in flight, outside the lock so that other kinds still open meanwhile.
    return hook->Install(nullptr) != nullptr;
}

std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& devicePath) {
    if (std::shared_ptr<DeviceFactory> factory = FactoryFor(devicePath)) {
        return (*factory)(devicePath);
    }
    return PosixSerialDevice::Open(devicePath);
}

}  // namespace kelcmd
