#include "broker_url.h"

#include <charconv>

namespace kelcmd::mqtt {

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;

bool ParsePort(std::string_view text, int& port) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [next, error] = std::from_chars(text.data(), end, port);
    return error == std::errc{} && next == end && port > 0 && port <= 65535;
}

}  // namespace

std::optional<BrokerUrl> ParseBrokerUrl(std::string_view text) {
    BrokerUrl url;
    if (text.starts_with("mqtt://")) {
        text.remove_prefix(7);
    } else if (text.starts_with("mqtts://")) {
        text.remove_prefix(8);
        url.tls = true;
    } else {
        return std::nullopt;
    }
    url.port = url.tls ? kTlsPort : kPlainPort;
    std::string_view authority = text.substr(0, text.find('/'));
    if (authority.size() < text.size()) url.path = text.substr(authority.size() + 1);
    if (auto at = authority.rfind('@'); at != std::string_view::npos) {
        url.user = authority.substr(0, at);
        authority.remove_prefix(at + 1);
        if (url.user.empty()) return std::nullopt;
    }
    std::string_view host = authority;
    if (authority.starts_with('[')) {  // [::1]:1883
        auto close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
        std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && (rest[0] != ':' || !ParsePort(rest.substr(1), url.port)))
            return std::nullopt;
    } else if (auto colon = authority.rfind(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        if (!ParsePort(authority.substr(colon + 1), url.port)) return std::nullopt;
    }
    if (host.empty()) return std::nullopt;
    url.host = host;
    return url;
}

}  // namespace kelcmd::mqtt
