#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelcmd::mqtt {

// A broker address as written by users: mqtt://[user@]host[:port][/path] or mqtts://... The path
// (without its leading slash) is left to the caller, e.g. a topic prefix and a bus name.
struct BrokerUrl {
    bool tls = false;
    std::string user;
    std::string host;
    int port = 0;
    std::string path;
};

// Empty when the text is no broker address (other scheme, empty host, bad port).
std::optional<BrokerUrl> ParseBrokerUrl(std::string_view text);

}  // namespace kelcmd::mqtt
