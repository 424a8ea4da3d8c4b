#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "command/message_stream.h"
#include "kelcmd/kelcmd.h"

namespace kelcmd {

constexpr uint8_t kLastSystemParameter = 78;
constexpr size_t kSystemParameterCount = 79;
// Numbers 0 to 41 lie in the short set; 42 to 78 only in the extended one.
constexpr uint8_t kLastShortSystemParameter = 41;
constexpr size_t kSysParamFieldCount = 42;

static_assert(sizeof(T_SysParam) == 110 && sizeof(T_SysParamEx) == 256);

// What the unit's parameter number table says about one number.
struct SystemParameterInfo {
    const char* name;  // "" where the number has none (8)
    uint8_t type;      // TYPE_BYTE, TYPE_WORD, TYPE_INT, TYPE_LINT or TYPE_FLOAT
    const char* unit;  // "" where none
    uint16_t offset;   // where the value lies in the set's wire layout
};

// The entry of a number, or null above 78 (such numbers have no type).
const SystemParameterInfo* FindSystemParameter(uint32_t number);
// The width of a parameter's value: 1, 2 or 4 bytes; 0 above 78.
uint32_t SystemParameterWidth(uint32_t number);

// Field widths of the two sets in wire order: the 42 short fields; the extended set adds the
// extension tag and the 36 extension words.
const StructureLayout& SysParamLayout();
const StructureLayout& SysParamExLayout();
// Hands both layouts to the message stream, so that structure parameters travel field by field.
void InstallSysParamLayouts();

// The default parameter sets.
const T_SysParam& DefaultSysParam();
const T_SysParamEx& DefaultSysParamEx();

// A set between the host's structure and the wire (each field most significant byte first).
std::array<uint8_t, 110> SysParamToWire(const T_SysParam& set);
std::array<uint8_t, 256> SysParamExToWire(const T_SysParamEx& set);
T_SysParam SysParamFromWire(const std::array<uint8_t, 110>& wire);
T_SysParamEx SysParamExFromWire(const std::array<uint8_t, 256>& wire);

}  // namespace kelcmd
