#include "command/parameter_types.h"

namespace kelcmd {

namespace {

struct TypeInfo {
    std::string_view name;
    std::string_view batchName;
    uint32_t size;
};

constexpr TypeInfo kTypes[kParameterTypeCount] = {
    {"Byte", "Byte", 1},
    {"Word", "Word", 2},
    {"Int", "Int", 2},
    {"LWord", "LWord", 4},
    {"LInt", "LInt", 4},
    {"Float", "Float", 4},
    {"T_SysParam", "SysParam", kSysParamSize},
    {"T_SysParamEx", "SysParamEx", kSysParamExSize},
    {"Int[N]", "RecordedData", 0},
    {"Byte[N]", "MemoryBlock", 0},
    {"Bits8", "Bits8", 1},
    {"Bits16", "Bits16", 2},
    {"Bits32", "Bits32", 4},
    {"Bool", "Boolean", 1},
};

}  // namespace

std::string_view ParameterTypeName(uint8_t type) {
    return IsKnownParameterType(type) ? kTypes[type].name : std::string_view();
}

std::string_view ParameterTypeBatchName(uint8_t type) {
    return IsKnownParameterType(type) ? kTypes[type].batchName : std::string_view();
}

std::optional<uint8_t> ParameterTypeFromName(std::string_view name) {
    for (uint8_t type = 0; type < kParameterTypeCount; ++type) {
        if (kTypes[type].name == name) return type;
    }
    return std::nullopt;
}

uint32_t ParameterTypeSize(uint8_t type) {
    return IsKnownParameterType(type) ? kTypes[type].size : 0;
}

}  // namespace kelcmd
