#include "dialogs/toolkit/typed_value.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "command/parameter_types.h"

namespace kelcmd::dialogs {
namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<long long> ParseInteger(const std::string& text) {
    std::string digits = Trimmed(text);
    if (!digits.empty() && digits.front() == '+') digits.erase(0, 1);
    long long value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || stop != end) return std::nullopt;
    // Too many digits for 64 bits is still a number, only out of every type's range.
    if (error == std::errc::result_out_of_range) {
        return digits.front() == '-' ? std::numeric_limits<long long>::min()
                                     : std::numeric_limits<long long>::max();
    }
    return value;
}

namespace {

template <class T>
std::vector<uint8_t> BytesOf(T value) {
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

NumberCheck Accept(std::vector<uint8_t> bytes) {
    return NumberCheck{true, std::move(bytes), {}, std::nullopt};
}

NumberCheck Refuse(const char* message, std::optional<std::string> corrected = std::nullopt) {
    return NumberCheck{false, {}, message, std::move(corrected)};
}

NumberCheck ParseUnsigned(uint8_t type, const std::string& text, unsigned long long maximum) {
    const std::optional<long long> value = ParseInteger(text);
    if (!value) return Refuse(kEnterInteger);
    if (*value < 0 || static_cast<unsigned long long>(*value) > maximum) {
        return Refuse(kTypeRangeExceeded, "0");
    }
    return Accept(BytesOfType(type, static_cast<uint32_t>(*value)));
}

NumberCheck ParseSigned(uint8_t type, const std::string& text, long long minimum,
                        long long maximum) {
    const std::optional<long long> value = ParseInteger(text);
    if (!value) return Refuse(kEnterInteger);
    if (*value < minimum || *value > maximum) return Refuse(kTypeRangeExceeded, "-32768");
    if (type == TYPE_INT) return Accept(BytesOf(static_cast<int16_t>(*value)));
    return Accept(BytesOf(static_cast<int32_t>(*value)));
}

NumberCheck ParseFloat(const std::string& text) {
    const std::string number = Trimmed(text);
    float value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || stop != end || error != std::errc() || !std::isfinite(value)) {
        return Refuse(kEnterNumber);
    }
    return Accept(BytesOf(value));
}

template <class T>
T ValueOf(std::span<const uint8_t> bytes) {
    T value{};
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return value;
}

}  // namespace

bool IsNumberType(uint8_t type) {
    switch (type) {
        case TYPE_BYTE:
        case TYPE_WORD:
        case TYPE_LWORD:
        case TYPE_INT:
        case TYPE_LINT:
        case TYPE_FLOAT:
            return true;
        default:
            return false;
    }
}

int BitCount(uint8_t type) {
    switch (type) {
        case TYPE_BITS8:
            return 8;
        case TYPE_BITS16:
            return 16;
        case TYPE_BITS32:
            return 32;
        default:
            return 0;
    }
}

NumberCheck ParseNumber(uint8_t type, const std::string& text) {
    switch (type) {
        case TYPE_BYTE:
            return ParseUnsigned(type, text, 0xFF);
        case TYPE_WORD:
            return ParseUnsigned(type, text, 0xFFFF);
        case TYPE_LWORD:
            return ParseUnsigned(type, text, 0xFFFFFFFF);
        case TYPE_INT:
            return ParseSigned(type, text, -32768, 32767);
        case TYPE_LINT:
            return ParseSigned(type, text, std::numeric_limits<int32_t>::min(),
                               std::numeric_limits<int32_t>::max());
        case TYPE_FLOAT:
            return ParseFloat(text);
        default:
            return Refuse(kDataTypeFailure);
    }
}

std::string FormatNumber(uint8_t type, std::span<const uint8_t> bytes) {
    switch (type) {
        case TYPE_INT:
            return std::to_string(ValueOf<int16_t>(bytes));
        case TYPE_LINT:
            return std::to_string(ValueOf<int32_t>(bytes));
        case TYPE_FLOAT: {
            char text[32];
            const auto result = std::to_chars(text, text + sizeof text, ValueOf<float>(bytes));
            return std::string(text, result.ptr);
        }
        case TYPE_BYTE:
            return std::to_string(ValueOf<uint8_t>(bytes));
        case TYPE_WORD:
            return std::to_string(ValueOf<uint16_t>(bytes));
        default:
            return std::to_string(ReadUnsigned(bytes));
    }
}

uint32_t ReadUnsigned(std::span<const uint8_t> bytes) {
    return ValueOf<uint32_t>(bytes.first(std::min<size_t>(bytes.size(), 4)));
}

std::vector<uint8_t> BytesOfType(uint8_t type, uint32_t value) {
    uint32_t size = ParameterTypeSize(type);
    if (size == 0 || size > 4) size = 4;
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), &value, size);
    return bytes;
}

}  // namespace kelcmd::dialogs
