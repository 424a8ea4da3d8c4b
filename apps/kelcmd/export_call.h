#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace kelcmd::app {

// One command export that the program can run by name: its MP_ form, the names of its arguments
// in order (inputs and outputs), and a caller that parses the inputs, runs the export and prints
// the outputs.
struct ExportEntry {
    std::string name;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    // Port, slave, input texts; returns the export's result, or nullopt with `error` set when an
    // input does not parse.
    std::function<std::optional<int32_t>(const char* port, uint8_t slave,
                                         const std::vector<std::string>& inputs,
                                         std::vector<std::string>& outputs, std::string& error)>
        call;
};

namespace detail {

// Parses one input argument of an export's type; false when it does not fit.
bool ParseArgument(const std::string& text, int64_t min, int64_t max, int64_t& value);
bool ParseArgument(const std::string& text, float& value);

template <class T>
bool Parse(const std::string& text, T& value) {
    if constexpr (std::is_floating_point_v<T>) {
        return ParseArgument(text, value);
    } else {
        int64_t parsed = 0;
        if (!ParseArgument(text, static_cast<int64_t>(std::numeric_limits<T>::min()),
                           static_cast<int64_t>(std::numeric_limits<T>::max()), parsed)) {
            return false;
        }
        value = static_cast<T>(parsed);
        return true;
    }
}

// What an argument of type T takes: "a whole number from 0 to 255", "a number".
template <class T>
std::string Expected() {
    if constexpr (std::is_floating_point_v<T>) {
        return "a number";
    } else {
        return "a whole number from " +
               std::to_string(static_cast<int64_t>(std::numeric_limits<T>::min())) + " to " +
               std::to_string(static_cast<uint64_t>(std::numeric_limits<T>::max()));
    }
}

template <class T>
std::string Format(T value) {
    if constexpr (std::is_floating_point_v<T>) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
        return text;
    } else if constexpr (std::is_signed_v<T>) {
        return std::to_string(static_cast<int64_t>(value));
    } else {
        char text[48];
        std::snprintf(text, sizeof text, "%llu (0x%llX)", static_cast<unsigned long long>(value),
                      static_cast<unsigned long long>(value));
        return text;
    }
}

}  // namespace detail

// Describes an MP_ export from its own signature: plain value parameters are inputs, pointer
// parameters are outputs; `names` lists them all in order.
template <class... Args>
ExportEntry Describe(std::string name, int32_t (*function)(const char*, uint8_t, Args...),
                     std::vector<std::string> names) {
    ExportEntry entry;
    entry.name = std::move(name);
    constexpr bool isOutput[] = {std::is_pointer_v<Args>..., false};
    for (size_t i = 0; i < sizeof...(Args) && i < names.size(); ++i) {
        (isOutput[i] ? entry.outputs : entry.inputs).push_back(names[i]);
    }
    entry.call = [function, inputNames = entry.inputs](
                     const char* port, uint8_t slave, const std::vector<std::string>& texts,
                     std::vector<std::string>& outputs,
                     std::string& error) -> std::optional<int32_t> {
        std::tuple<std::remove_pointer_t<Args>...> values{};
        size_t next = 0;
        bool parsed = true;
        auto parseInput = [&](auto& value, bool output) {
            if (output || !parsed) return;
            const std::string name = next < inputNames.size() ? inputNames[next] : "argument";
            if (next >= texts.size()) {
                error = "missing argument " + name;
                parsed = false;
            } else if (!detail::Parse(texts[next], value)) {
                error = name + ": '" + texts[next] + "' is not " +
                        detail::Expected<std::remove_reference_t<decltype(value)>>();
                parsed = false;
            }
            ++next;
        };
        std::apply([&](auto&... value) { (parseInput(value, std::is_pointer_v<Args>), ...); },
                   values);
        if (!parsed) return std::nullopt;
        if (next != texts.size()) {
            error = "extra argument '" + texts[next] + "'";
            return std::nullopt;
        }
        const int32_t result = std::apply(
            [&](auto&... value) {
                return function(port, slave, [&]() -> Args {
                    if constexpr (std::is_pointer_v<Args>) {
                        return &value;
                    } else {
                        return value;
                    }
                }()...);
            },
            values);
        std::apply(
            [&](auto&... value) {
                (
                    [&] {
                        if constexpr (std::is_pointer_v<Args>) {
                            outputs.push_back(detail::Format(value));
                        }
                    }(),
                    ...);
            },
            values);
        return result;
    };
    return entry;
}

}  // namespace kelcmd::app
