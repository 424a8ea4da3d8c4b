#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace kelcmd::sim {
namespace {

// 'item', built by appending (GCC 12 warns falsely about a concatenation starting with "'").
std::string Quoted(std::string_view item) {
    std::string text(1, '\'');
    text.append(item);
    text.push_back('\'');
    return text;
}

constexpr std::string_view kPrefix = "sim";

std::optional<unsigned> ParseAddress(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < kFirstUnitAddress || value > kLastUnitAddress) return std::nullopt;
    return value;
}

// Each step returns why the option is malformed, or "" when it is fine.
std::string AddAddresses(std::string_view item, std::vector<uint8_t>& addresses) {
    const size_t dash = item.find('-');
    const auto first = ParseAddress(item.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : ParseAddress(item.substr(dash + 1));
    if (!first || !last || *first > *last) {
        const bool looksLikeAddresses =
            !item.empty() && item.find_first_not_of("0123456789-") == std::string_view::npos;
        if (!looksLikeAddresses) {
            return Quoted(item) +
                   " is not an option (unit addresses such as 1-3 or 5, bus=NAME, speed=F or "
                   "paced)";
        }
        return Quoted(item) + " is not a unit address or range (" +
               std::to_string(kFirstUnitAddress) + " to " + std::to_string(kLastUnitAddress) +
               ", first to last)";
    }
    for (unsigned address = *first; address <= *last; ++address) {
        addresses.push_back(static_cast<uint8_t>(address));
    }
    return "";
}

std::optional<double> ParseSpeed(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

std::string ApplyOption(std::string_view item, SimOptions& options) {
    if (item.empty()) return "an option is empty (two commas in a row, or nothing after 'sim:')";
    if (item == "paced") {
        options.paced = true;
        return "";
    }
    if (item.starts_with("bus=")) {
        options.busName = std::string(item.substr(4));
        return options.busName.empty() ? "bus= needs a name" : "";
    }
    if (item.starts_with("speed=")) {
        options.speed = ParseSpeed(item.substr(6));
        return options.speed ? "" : Quoted(item) + " needs a positive number";
    }
    return AddAddresses(item, options.addresses);
}

// The options of a simulated device, or nullopt with `problem` set.
std::optional<SimOptions> Parse(const std::string& text, std::string& problem) {
    const std::string_view whole(text);
    if (!whole.starts_with(kPrefix)) {
        problem = "a simulated device starts with 'sim'";
        return std::nullopt;
    }
    SimOptions options;
    options.busName = text;
    std::string_view rest = whole.substr(kPrefix.size());
    if (!rest.empty()) {
        if (rest.front() != ':') {
            problem = "options follow 'sim:'";
            return std::nullopt;
        }
        rest.remove_prefix(1);
        // An empty option list ("sim:") or an empty item ("sim:1,,2") is a typing error.
        while (true) {
            const size_t comma = rest.find(',');
            problem = ApplyOption(rest.substr(0, comma), options);
            if (!problem.empty()) return std::nullopt;
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    std::sort(options.addresses.begin(), options.addresses.end());
    options.addresses.erase(std::unique(options.addresses.begin(), options.addresses.end()),
                            options.addresses.end());
    return options;
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(const std::string& text) {
    std::string problem;
    return Parse(text, problem);
}

std::string SimOptionsProblem(const std::string& device) {
    if (device != kPrefix && !device.starts_with("sim:")) return "";
    std::string problem;
    return Parse(device, problem) ? "" : problem;
}

}  // namespace kelcmd::sim
