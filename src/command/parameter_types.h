#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelcmd {

// The one-byte type codes of command parameters.
enum ParameterType : uint8_t {
    TYPE_BYTE = 0,
    TYPE_WORD = 1,
    TYPE_INT = 2,
    TYPE_LWORD = 3,
    TYPE_LINT = 4,
    TYPE_FLOAT = 5,
    TYPE_SYSPARAM = 6,
    TYPE_SYSPARAM_EX = 7,
    TYPE_INT_ARRAY = 8,
    TYPE_BYTE_ARRAY = 9,
    TYPE_BITS8 = 10,
    TYPE_BITS16 = 11,
    TYPE_BITS32 = 12,
    TYPE_BOOL = 13,
};

constexpr uint8_t kParameterTypeCount = 14;
constexpr uint32_t kSysParamSize = 110;
constexpr uint32_t kSysParamExSize = 256;

inline bool IsKnownParameterType(uint8_t type) {
    return type < kParameterTypeCount;
}

// "Byte", "Word", "Int", "LWord", "LInt", "Float", "T_SysParam", "T_SysParamEx", "Int[N]",
// "Byte[N]", "Bits8", "Bits16", "Bits32", "Bool"; "" for any other code.
std::string_view ParameterTypeName(uint8_t type);

// The names the batch displays use: as above, but "SysParam", "SysParamEx", "RecordedData",
// "MemoryBlock" for 6 to 9 and "Boolean" for 13.
std::string_view ParameterTypeBatchName(uint8_t type);

// The code whose ParameterTypeName is exactly `name`.
std::optional<uint8_t> ParameterTypeFromName(std::string_view name);

// The size in bytes a value of the type always has (1, 2 or 4; 110 and 256 for the two system
// parameter structures), or 0 for the arrays, whose size each parameter gives, and unknown codes.
uint32_t ParameterTypeSize(uint8_t type);

}  // namespace kelcmd
