#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelcmd {

// A bus reached through a broker: mqtt://[user@]host[:port]/<prefix>/<bus>, or mqtts://, with
// options after '?' separated by '&': allowance=MS (the network's share of each exchange's time
// bound) and ca=FILE (the certificate authorities for mqtts).
struct RemoteAddress {
    std::string broker;  // scheme, user, host and port, as written
    std::string prefix;
    std::string bus;
    uint32_t allowanceMs = 1000;
    std::string caFile;

    std::string Topic(const std::string& leaf) const { return prefix + "/" + bus + "/" + leaf; }
};

// Whether `device` names a remote bus at all (by its scheme).
bool IsRemoteDevice(const std::string& device);

// The address, or nullopt with the reason in `problem` for a malformed one.
std::optional<RemoteAddress> ParseRemoteAddress(const std::string& device, std::string& problem);

}  // namespace kelcmd
