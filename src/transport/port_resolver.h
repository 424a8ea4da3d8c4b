#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kelcmd {

// Port names keep the limit of the "\\.\" + name device paths that hosts know: 20 bytes with the
// terminating zero. The limit applies to a port's name, not to a device path: neither to a mapped
// device nor to a name that is a path itself ("/dev/serial/by-id/usb-FTDI_..."), which may be as
// long as the system takes a path (PATH_MAX with the terminating zero).
inline constexpr size_t kPortPathBufferSize = 20;
inline constexpr size_t kMaxDevicePathLength = 4095;
inline constexpr const char* kDevicePrefix = "\\\\.\\";  // the four characters \\.\ .

// Whether a port name passes the length limit: up to 15 characters, or up to 19 when the name
// itself begins with "\\.\"; a name that is a device path (it begins with "/" after any "\\.\")
// up to kMaxDevicePathLength characters after the prefix.
bool PortNameFitsLimit(const std::string& portName);

// Turns a port name into the device path to open, in this order:
//  1. the name is checked against the length limit (too long: nullopt, the open reports 128
//     with ENAMETOOLONG);
//     a leading "\\.\" is then dropped;
//  2. a mapping decides first (names compared without regard to letter case): one made by MapPort,
//     else one from the environment variable KELCMD_PORTS ("Com1=/dev/ttyUSB0,Com2=sim:1-3",
//     read at every call; the first entry of a name counts). The mapped device is used as it
//     stands;
//  3. "ComN" in any letter case, N a positive number without leading zeros: "/dev/ttyS(N-1)";
//  4. a name beginning with "/" is the path itself;
//  5. "sim" and "sim:<options>" stand for the simulated bus as they are.
// Anything else: nullopt (the open reports 128). Thread-safe.
std::optional<std::string> ResolvePortDevice(const std::string& portName);

// Whether MapPort or KELCMD_PORTS maps the port name to a device.
bool HasPortMapping(const std::string& portName);

// The entries of KELCMD_PORTS that the resolution skips because they name no port or no device
// ("Com1", "=sim", "Com2="), as written; empty when every entry is well-formed. For programs that
// warn about them; the resolution itself stays silent.
std::vector<std::string> MalformedPortMappings();

// The port names KELCMD_PORTS maps to a device, in their order, each once (letter case aside), as
// written without a leading "\\.\". For programs that serve every mapped port.
std::vector<std::string> EnvironmentPortNames();

// Maps a port name to a device path for this process, taking precedence over KELCMD_PORTS; an empty
// device removes the name's mapping (the environment's then counts again). False for an empty name.
// Thread-safe. Behind the extra export KEB_MapPort.
bool MapPort(const std::string& portName, const std::string& device);

// Removes every mapping made by MapPort (the environment is untouched).
void ClearPortMappings();

}  // namespace kelcmd
