#include "transport/remote_address.h"

#include <charconv>
#include <string_view>

namespace kelcmd {
namespace {

constexpr std::string_view kSchemes[] = {"mqtt://", "mqtts://"};

std::string_view SchemeOf(std::string_view device) {
    for (std::string_view scheme : kSchemes) {
        if (device.substr(0, scheme.size()) == scheme) return scheme;
    }
    return {};
}

// Topic levels may not be empty nor carry the wildcards a subscription would read.
bool IsTopicPath(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.back() == '/') return false;
    if (path.find("//") != std::string_view::npos) return false;
    return path.find_first_of("+#") == std::string_view::npos;
}

bool TakeOption(std::string_view option, RemoteAddress& address, std::string& problem) {
    const size_t equals = option.find('=');
    const std::string_view name = option.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : option.substr(equals + 1);
    if (name == "allowance") {
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), address.allowanceMs);
        if (error == std::errc() && end == value.data() + value.size() && !value.empty()) {
            return true;
        }
        problem = "allowance takes milliseconds";
        return false;
    }
    if (name == "ca" && !value.empty()) {
        address.caFile = std::string(value);
        return true;
    }
    problem = "unknown option \"" + std::string(option) + "\"";
    return false;
}

}  // namespace

bool IsRemoteDevice(const std::string& device) {
    return !SchemeOf(device).empty();
}

std::optional<RemoteAddress> ParseRemoteAddress(const std::string& device, std::string& problem) {
    const std::string_view scheme = SchemeOf(device);
    if (scheme.empty()) {
        problem = "not an mqtt:// or mqtts:// address";
        return std::nullopt;
    }
    std::string_view rest = std::string_view(device).substr(scheme.size());
    const size_t question = rest.find('?');
    const std::string_view options =
        question == std::string_view::npos ? std::string_view() : rest.substr(question + 1);
    rest = rest.substr(0, question);

    const size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    const std::string_view path =
        slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    const size_t lastSlash = path.rfind('/');
    if (authority.empty() || authority.back() == '@' || authority.back() == ':' ||
        lastSlash == std::string_view::npos || !IsTopicPath(path)) {
        problem = "expected mqtt://[user@]broker[:port]/<prefix>/<bus>";
        return std::nullopt;
    }
    RemoteAddress address;
    address.broker = std::string(scheme) + std::string(authority);
    address.prefix = std::string(path.substr(0, lastSlash));
    address.bus = std::string(path.substr(lastSlash + 1));
    std::string_view left = options;
    while (!left.empty()) {
        const size_t amp = left.find('&');
        if (!TakeOption(left.substr(0, amp), address, problem)) return std::nullopt;
        left = amp == std::string_view::npos ? std::string_view() : left.substr(amp + 1);
    }
    return address;
}

}  // namespace kelcmd
