#include "platform/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kelcmd {
namespace {

namespace fs = std::filesystem;

// The driver of the tty's device; where that is the serial core's generic "port" (or "ctrl")
// device, the driver of the device it belongs to.
std::string DriverOf(const fs::path& tty) {
    std::error_code error;
    fs::path device = fs::canonical(tty / "device", error);
    for (int level = 0; !error && level < 3; ++level, device = device.parent_path()) {
        std::error_code missing;
        const fs::path driver = fs::read_symlink(device / "driver", missing);
        const std::string name = missing ? std::string() : driver.filename().string();
        if (!name.empty() && name != "port" && name != "ctrl") return name;
    }
    return {};
}

// The serial core lists every port a driver might have (ttyS0 to ttyS31); those that are not
// there have the type 0.
bool PortExists(const fs::path& tty) {
    std::ifstream type(tty / "type");
    int value = 0;
    return !(type >> value) || value != 0;
}

// The by-id links, each with the device it leads to.
std::vector<std::pair<std::string, fs::path>> ByIdLinks(const fs::path& deviceRoot) {
    std::vector<std::pair<std::string, fs::path>> links;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(deviceRoot / "serial" / "by-id", error)) {
        std::error_code resolved;
        const fs::path target = fs::canonical(entry.path(), resolved);
        if (!resolved) links.emplace_back(entry.path().string(), target);
    }
    std::sort(links.begin(), links.end());
    return links;
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts(const std::string& classRoot,
                                             const std::string& deviceRoot) {
    std::vector<SerialPortEntry> ports;
    const auto links = ByIdLinks(deviceRoot);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(classRoot, error)) {
        const fs::path tty = entry.path();
        std::error_code missing;
        if (!fs::exists(tty / "device", missing)) continue;  // virtual: consoles, ptys
        SerialPortEntry port;
        port.device = (fs::path(deviceRoot) / tty.filename()).string();
        port.driver = DriverOf(tty);
        if (!PortExists(tty)) continue;
        std::error_code resolved;
        const fs::path device = fs::weakly_canonical(port.device, resolved);
        for (const auto& [link, target] : links) {
            if (target == device || target.filename() == tty.filename()) port.byId.push_back(link);
        }
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return ports;
}

}  // namespace kelcmd
