#include "parameter_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "command/parameter_types.h"

namespace kelcmd::app {
namespace {

// Reads up to four bytes as an unsigned number; a short value is zero-extended.
uint32_t Bits(std::span<const uint8_t> bytes, uint32_t width) {
    uint8_t raw[4] = {};
    // An empty value (a zero-byte parameter) has no bytes at all, not even an address to copy from.
    std::copy_n(bytes.begin(), std::min<size_t>({width, bytes.size(), sizeof raw}), raw);
    switch (width) {
        case 1:
            return raw[0];
        case 2: {
            uint16_t value;
            std::memcpy(&value, raw, 2);
            return value;
        }
        default: {
            uint32_t value;
            std::memcpy(&value, raw, 4);
            return value;
        }
    }
}

std::string Binary(uint32_t value, uint32_t digits) {
    std::string text;
    for (uint32_t bit = digits; bit-- > 0;) text += (value >> bit & 1) ? '1' : '0';
    return text;
}

}  // namespace

std::string ParameterValueText(uint8_t type, std::span<const uint8_t> bytes) {
    char text[64];
    const uint32_t width = ParameterTypeSize(type);
    switch (type) {
        case TYPE_BYTE:
        case TYPE_WORD:
        case TYPE_LWORD:
            std::snprintf(text, sizeof text, "%u", Bits(bytes, width));
            return text;
        case TYPE_INT:
            std::snprintf(text, sizeof text, "%i", static_cast<int16_t>(Bits(bytes, 2)));
            return text;
        case TYPE_LINT:
            std::snprintf(text, sizeof text, "%i", static_cast<int32_t>(Bits(bytes, 4)));
            return text;
        case TYPE_FLOAT: {
            const uint32_t bits = Bits(bytes, 4);
            float value;
            std::memcpy(&value, &bits, 4);
            std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
            return text;
        }
        case TYPE_BITS8:
        case TYPE_BITS16:
        case TYPE_BITS32:
            return Binary(Bits(bytes, width), width * 8);
        case TYPE_BOOL:
            return Bits(bytes, 1) != 0 ? "TRUE" : "FALSE";
        case TYPE_SYSPARAM:
        case TYPE_SYSPARAM_EX:
        case TYPE_INT_ARRAY:
        case TYPE_BYTE_ARRAY:
            return "NAN";
        default:
            return "";
    }
}

void PrintSendParameters(const CParameterList& list, const char* indent) {
    for (size_t i = 0; i < list.GetSendCount(); ++i) {
        const uint8_t type = list.GetSendType(i);
        std::printf("%s%s %s = %s\n", indent, list.GetSendName(i).c_str(),
                    std::string(ParameterTypeBatchName(type)).c_str(),
                    ParameterValueText(type, list.GetSendValue(i)).c_str());
    }
}

void PrintReturnParameters(const CParameterList& list, const char* indent, bool valid) {
    for (size_t i = 0; i < list.GetReturnCount(); ++i) {
        const uint8_t type = list.GetReturnType(i);
        std::printf("%s%s %s = %s\n", indent, list.GetReturnName(i).c_str(),
                    std::string(ParameterTypeBatchName(type)).c_str(),
                    valid ? ParameterValueText(type, list.GetReturnValue(i)).c_str() : "not valid");
    }
}

}  // namespace kelcmd::app
