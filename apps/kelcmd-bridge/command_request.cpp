#include "command_request.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "export_table.h"
#include "transport/protocol_constants.h"

namespace kelcmd::bridge {
namespace {

using Json = nlohmann::json;

// A command's parameters are one flat object; anything nested deeper is refused before the
// parser meets it.
constexpr int kMaxNesting = 2;

bool NestsTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxNesting) return true;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

std::optional<uint8_t> UnitAddress(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [next, problem] = std::from_chars(text.data(), end, value);
    if (text.empty() || problem != std::errc{} || next != end || text[0] == '0' || value == 0 ||
        IsGroupAddress(static_cast<uint8_t>(value)) || value > 255)
        return std::nullopt;
    return static_cast<uint8_t>(value);
}

// The number as the command line would write it; nullopt for anything but a number.
std::optional<std::string> NumberText(const Json& value) {
    if (value.is_number_unsigned()) return std::to_string(value.get<uint64_t>());
    if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
    if (!value.is_number_float()) return std::nullopt;
    const double number = value.get<double>();
    // 1e3 and 1000.0 are whole numbers as well as 1000.
    if (std::abs(number) < 9007199254740992.0 && number == std::trunc(number))
        return std::to_string(static_cast<int64_t>(number));
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", number);
    return text;
}

}  // namespace

std::optional<CommandRequest> ParseCommandRequest(std::string_view unit, std::string_view name,
                                                  std::string_view payload, std::string& error) {
    CommandRequest request;
    const auto address = UnitAddress(unit);
    if (!address) {
        error = "'" + std::string(unit) + "' is not a unit address from 1 to " +
                std::to_string(kFirstGroupAddress - 1);
        return std::nullopt;
    }
    request.unit = *address;
    request.entry = app::FindExport(std::string(name));
    if (request.entry == nullptr) {
        error = "unknown command '" + std::string(name) + "' (kelcmd commands lists them)";
        return std::nullopt;
    }
    if (payload.size() > kMaxCommandPayload) {
        error = "the payload has " + std::to_string(payload.size()) + " bytes, more than " +
                std::to_string(kMaxCommandPayload);
        return std::nullopt;
    }
    if (NestsTooDeep(payload)) {
        error = "the payload is not a flat JSON object of parameters";
        return std::nullopt;
    }
    Json parameters = payload.empty() ? Json::object() : Json::parse(payload, nullptr, false);
    if (parameters.is_discarded()) {
        error = "the payload is not valid JSON";
        return std::nullopt;
    }
    if (!parameters.is_object()) {
        error = "the payload is a JSON " + std::string(parameters.type_name()) +
                ", not an object of parameters";
        return std::nullopt;
    }
    const app::ExportEntry& entry = *request.entry;
    for (const auto& [key, value] : parameters.items()) {
        bool known = false;
        for (const std::string& input : entry.inputs) known = known || input == key;
        if (!known) {
            error = entry.name + " has no parameter '" + key + "'";
            return std::nullopt;
        }
    }
    for (const std::string& input : entry.inputs) {
        const auto found = parameters.find(input);
        if (found == parameters.end()) {
            error = "missing parameter '" + input + "'";
            return std::nullopt;
        }
        const auto text = NumberText(*found);
        if (!text) {
            error = input + ": a number is needed, not a JSON " + found->type_name();
            return std::nullopt;
        }
        request.inputs.push_back(*text);
    }
    if (std::string problem = entry.check(request.inputs); !problem.empty()) {
        error = std::move(problem);
        return std::nullopt;
    }
    return request;
}

}  // namespace kelcmd::bridge
