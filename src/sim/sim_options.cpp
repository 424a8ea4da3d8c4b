#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace kelcmd::sim {
namespace {

constexpr std::string_view kPrefix = "sim";

std::optional<unsigned> ParseAddress(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < kFirstUnitAddress || value > kLastUnitAddress) return std::nullopt;
    return value;
}

bool AddAddresses(std::string_view item, std::vector<uint8_t>& addresses) {
    const size_t dash = item.find('-');
    const auto first = ParseAddress(item.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : ParseAddress(item.substr(dash + 1));
    if (!first || !last || *first > *last) return false;
    for (unsigned address = *first; address <= *last; ++address) {
        addresses.push_back(static_cast<uint8_t>(address));
    }
    return true;
}

std::optional<double> ParseSpeed(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

bool ApplyOption(std::string_view item, SimOptions& options) {
    if (item == "paced") {
        options.paced = true;
        return true;
    }
    if (item.starts_with("bus=")) {
        options.busName = std::string(item.substr(4));
        return !options.busName.empty();
    }
    if (item.starts_with("speed=")) {
        options.speed = ParseSpeed(item.substr(6));
        return options.speed.has_value();
    }
    return AddAddresses(item, options.addresses);
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(const std::string& text) {
    const std::string_view whole(text);
    if (!whole.starts_with(kPrefix)) return std::nullopt;
    SimOptions options;
    options.busName = text;
    std::string_view rest = whole.substr(kPrefix.size());
    if (!rest.empty()) {
        if (rest.front() != ':') return std::nullopt;
        rest.remove_prefix(1);
        // An empty option list ("sim:") or an empty item ("sim:1,,2") is a typing error.
        while (true) {
            const size_t comma = rest.find(',');
            if (!ApplyOption(rest.substr(0, comma), options)) return std::nullopt;
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    std::sort(options.addresses.begin(), options.addresses.end());
    options.addresses.erase(std::unique(options.addresses.begin(), options.addresses.end()),
                            options.addresses.end());
    return options;
}

}  // namespace kelcmd::sim
