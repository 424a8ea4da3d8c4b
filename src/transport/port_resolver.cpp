#include "transport/port_resolver.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/device_options.h"

namespace kelcmd {
namespace {

constexpr std::string_view kPrefix = "\\\\.\\";
constexpr const char* kEnvironmentVariable = "KELCMD_PORTS";

struct Mapping {
    std::string name;  // as given, without a leading "\\.\"
    std::string device;
};

std::mutex tableMutex;
std::vector<Mapping> table;  // mappings made by MapPort, guarded by tableMutex

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool StartsWithPrefix(std::string_view name) {
    return name.substr(0, kPrefix.size()) == kPrefix;
}

std::string_view WithoutPrefix(std::string_view name) {
    return StartsWithPrefix(name) ? name.substr(kPrefix.size()) : name;
}

bool IsDevicePath(std::string_view name) {
    return !name.empty() && name.front() == '/';
}

std::string_view Trim(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// Hands each entry of KELCMD_PORTS to `take` as (whole entry, name, device); name and device are
// trimmed, the name without "\\.\", both empty when the entry has no '='. `take` returns true
// to stop.
template <class Take>
void ForEachEnvironmentEntry(Take&& take) {
    const char* value = std::getenv(kEnvironmentVariable);
    if (!value) return;
    std::string_view rest(value);
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        // A device's options after its '?' are separated by commas as well: they stay with it.
        while (comma != std::string_view::npos &&
               rest.substr(0, comma).find('?') != std::string_view::npos &&
               IsDeviceOption(rest.substr(comma + 1, rest.find(',', comma + 1) - comma - 1))) {
            comma = rest.find(',', comma + 1);
        }
        const std::string_view entry = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        const size_t equals = entry.find('=');
        const bool split = equals != std::string_view::npos;
        const std::string_view name = split ? WithoutPrefix(Trim(entry.substr(0, equals))) : "";
        const std::string_view device = split ? Trim(entry.substr(equals + 1)) : "";
        if (take(entry, name, device)) return;
    }
}

// The device of `name` in KELCMD_PORTS, if any.
std::optional<std::string> EnvironmentMapping(std::string_view name) {
    std::optional<std::string> found;
    ForEachEnvironmentEntry(
        [&](std::string_view, std::string_view entryName, std::string_view device) {
            if (entryName.empty() || device.empty() || !EqualNoCase(entryName, name)) return false;
            found = std::string(device);
            return true;
        });
    return found;
}

// N of "ComN" (any case, N >= 1 without leading zeros), or 0.
unsigned long long ComNumber(std::string_view name) {
    if (name.size() < 4 || !EqualNoCase(name.substr(0, 3), "com")) return 0;
    const std::string_view digits = name.substr(3);
    if (digits.front() == '0') return 0;
    unsigned long long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + static_cast<unsigned>(c - '0');  // at most 12 digits fit the limit
    }
    return number;
}

}  // namespace

bool PortNameFitsLimit(const std::string& portName) {
    const std::string_view name = WithoutPrefix(portName);
    // A /dev/serial/by-id/ link is the name users are told to take; it never fitted 15 characters.
    if (IsDevicePath(name)) return name.size() <= kMaxDevicePathLength;
    const size_t pathLength =
        StartsWithPrefix(portName) ? portName.size() : kPrefix.size() + portName.size();
    return pathLength + 1 <= kPortPathBufferSize;
}

std::optional<std::string> ResolvePortDevice(const std::string& portName) {
    if (!PortNameFitsLimit(portName)) return std::nullopt;
    const std::string_view name = WithoutPrefix(portName);
    if (name.empty()) return std::nullopt;

    {
        std::lock_guard<std::mutex> lock(tableMutex);
        for (const Mapping& mapping : table) {
            if (EqualNoCase(mapping.name, name)) return mapping.device;
        }
    }
    if (std::optional<std::string> device = EnvironmentMapping(name)) return device;

    if (const unsigned long long number = ComNumber(name)) {
        return "/dev/ttyS" + std::to_string(number - 1);
    }
    if (IsDevicePath(name)) return std::string(name);
    if (name == "sim" || name.substr(0, 4) == "sim:") return std::string(name);
    return std::nullopt;
}

bool HasPortMapping(const std::string& portName) {
    const std::string_view name = WithoutPrefix(portName);
    {
        std::lock_guard<std::mutex> lock(tableMutex);
        for (const Mapping& mapping : table) {
            if (EqualNoCase(mapping.name, name)) return true;
        }
    }
    return EnvironmentMapping(name).has_value();
}

bool MapPort(const std::string& portName, const std::string& device) {
    const std::string_view name = WithoutPrefix(portName);
    if (name.empty()) return false;
    std::lock_guard<std::mutex> lock(tableMutex);
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (EqualNoCase(it->name, name)) {
            if (device.empty()) {
                table.erase(it);
            } else {
                it->device = device;
            }
            return true;
        }
    }
    if (!device.empty()) table.push_back(Mapping{std::string(name), device});
    return true;
}

std::vector<std::string> MalformedPortMappings() {
    std::vector<std::string> malformed;
    ForEachEnvironmentEntry(
        [&](std::string_view entry, std::string_view name, std::string_view device) {
            // An empty entry (two commas in a row) is a harmless slip.
            if ((name.empty() || device.empty()) && !Trim(entry).empty()) {
                malformed.emplace_back(entry);
            }
            return false;
        });
    return malformed;
}

std::vector<std::string> EnvironmentPortNames() {
    std::vector<std::string> names;
    ForEachEnvironmentEntry([&](std::string_view, std::string_view name, std::string_view device) {
        const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& seen) {
            return EqualNoCase(seen, name);
        });
        if (!name.empty() && !device.empty() && !known) names.emplace_back(name);
        return false;
    });
    return names;
}

void ClearPortMappings() {
    std::lock_guard<std::mutex> lock(tableMutex);
    table.clear();
}

}  // namespace kelcmd
