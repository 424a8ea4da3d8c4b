#include "sim/recorder/sim_serial_channel.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace kelcmd::sim {

void SimSerialChannel::FeedInput(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
}

size_t SimSerialChannel::PendingInput() const {
    std::lock_guard lock(mutex_);
    return input_.size();
}

std::string SimSerialChannel::Output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

std::string SimSerialChannel::TakeOutput() {
    std::lock_guard lock(mutex_);
    return std::exchange(output_, {});
}

void SimSerialChannel::Write(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    output_.append(bytes);
}

std::optional<char> SimSerialChannel::ReadChar() {
    std::lock_guard lock(mutex_);
    if (input_.empty()) return std::nullopt;
    const char next = input_.front();
    input_.pop_front();
    return next;
}

std::string SimSerialChannel::ReadLine() {
    std::lock_guard lock(mutex_);
    std::string line;
    while (!input_.empty()) {
        const char next = input_.front();
        input_.pop_front();
        if (next == '\r' || next == '\n') {
            if (next == '\r' && !input_.empty() && input_.front() == '\n') input_.pop_front();
            break;
        }
        line.push_back(next);
    }
    return line;
}

namespace {

std::string Printf(const char* format, int width, auto value) {
    char buffer[80];
    const int length = std::snprintf(buffer, sizeof buffer, format, width, value);
    if (length < 0) return {};
    return std::string(buffer, std::min<size_t>(static_cast<size_t>(length), sizeof buffer - 1));
}

std::string Binary(uint32_t value, unsigned bits, uint8_t width) {
    std::string digits;
    for (unsigned bit = bits; bit-- > 0;) {
        if (!digits.empty() || (value >> bit) & 1u || bit == 0) {
            digits.push_back(((value >> bit) & 1u) ? '1' : '0');
        }
    }
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

std::optional<std::string> FormatSerialNumber(uint8_t subFunction, uint32_t value, uint8_t width) {
    switch (subFunction) {
        case 0x12:
            return Printf("%*u", width, static_cast<unsigned>(static_cast<uint16_t>(value)));
        case 0x13:
            return Printf("%*d", width, static_cast<int>(static_cast<int16_t>(value)));
        case 0x14:
            return Printf("%*u", width, static_cast<unsigned>(value));
        case 0x15:
            return Printf("%*d", width, static_cast<int>(static_cast<int32_t>(value)));
        case 0x22:
            return Printf("%0*X", width, static_cast<unsigned>(static_cast<uint16_t>(value)));
        case 0x24:
            return Printf("%0*X", width, static_cast<unsigned>(value));
        case 0x30:
            return Binary(value & 0xFFu, 8, width);
        case 0x32:
            return Binary(value & 0xFFFFu, 16, width);
        default:
            return std::nullopt;
    }
}

std::optional<std::string> FormatSerialFloat(float value, char representation, uint8_t totalWidth,
                                             uint8_t decimalPlaces) {
    const std::string letters = "feEgG";
    if (letters.find(representation) == std::string::npos) return std::nullopt;
    const std::string format = std::string("%*.*") + representation;
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, format.c_str(), int{totalWidth},
                                     int{decimalPlaces}, static_cast<double>(value));
    if (length < 0) return std::nullopt;
    return std::string(buffer, std::min<size_t>(static_cast<size_t>(length), sizeof buffer - 1));
}

}  // namespace kelcmd::sim
