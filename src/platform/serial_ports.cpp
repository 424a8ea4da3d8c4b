#include "platform/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kelcmd {
namespace {

namespace fs = std::filesystem;

// The entries of `folder`; as far as they could be read when reading fails on the way (a
// directory iterator's plain increment would throw then).
std::vector<fs::path> FolderEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    return entries;
}

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

std::optional<uint32_t> LatencyTimerOf(const fs::path& tty) {
    std::ifstream file(tty / "device" / "latency_timer");
    uint32_t value = 0;
    if (file >> value) return value;
    return std::nullopt;
}

// The by-id links, each with the device it leads to.
std::vector<std::pair<std::string, fs::path>> ByIdLinks(const fs::path& deviceRoot) {
    std::vector<std::pair<std::string, fs::path>> links;
    for (const fs::path& link : FolderEntries(deviceRoot / "serial" / "by-id")) {
        std::error_code resolved;
        const fs::path target = fs::canonical(link, resolved);
        if (!resolved) links.emplace_back(link.string(), target);
    }
    std::sort(links.begin(), links.end());
    return links;
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts(const SerialPortRoots& roots) {
    std::vector<SerialPortEntry> ports;
    const auto links = ByIdLinks(roots.devices);
    for (const fs::path& tty : FolderEntries(roots.ttyClass)) {
        std::error_code missing;
        if (!fs::exists(tty / "device", missing)) continue;  // virtual: consoles, ptys
        if (!PortExists(tty)) continue;
        SerialPortEntry port;
        port.device = (fs::path(roots.devices) / tty.filename()).string();
        port.driver = DriverOf(tty);
        port.latencyTimerMs = LatencyTimerOf(tty);
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
