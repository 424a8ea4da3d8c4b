#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace kelcmd::app {

// One command export that the program can run by name: its name, the names of its arguments in
// order (inputs and outputs), and a caller that parses the inputs, runs the export and formats
// the outputs.
struct ExportEntry {
    std::string name;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    // The C types of the inputs and outputs ("u8" ... "f32"), in the order of their names.
    std::vector<std::string> inputTypes;
    std::vector<std::string> outputTypes;
    // Port, slave, input texts; returns the export's result, or nullopt with `error` set when an
    // input does not parse (nothing is sent then). `values`, when given, also receives the
    // outputs as numbers (a double holds each of the types exactly).
    std::function<std::optional<int32_t>(
        const char* port, uint8_t slave, const std::vector<std::string>& inputs,
        std::vector<std::string>& outputs, std::string& error, std::vector<double>* values)>
        call;
    // Why the input texts would not do, or empty when they parse: the check of `call`, without
    // running the export.
    std::function<std::string(const std::vector<std::string>& inputs)> check;
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

}  // namespace kelcmd::app
