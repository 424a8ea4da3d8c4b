#pragma once

#include <cstdint>
#include <string_view>

namespace kelcmd {

// The mnemonic and description of one of the unit's own error or warning numbers.
struct UnitText {
    std::string_view mnemonic;
    std::string_view text;
};

// Exact lookups; a number the table does not list gives its "unknown" row.
UnitText LookupUnitError(int32_t number);
UnitText LookupUnitWarning(int32_t number);

// What the exports GetErrorText / GetWarningText do: writes the mnemonic into `name` and the
// description into `text`, each with its terminating zero and cut to size - 1 characters when it
// does not fit. A null buffer or a size of 0 receives nothing. Always returns 1.
int FillUnitErrorText(int16_t code, char* name, uint32_t nameSize, char* text, uint32_t textSize);
int FillUnitWarningText(int16_t code, char* name, uint32_t nameSize, char* text, uint32_t textSize);

// Copies as much of `value` as fits into a caller's buffer with its terminator; nothing for a null
// buffer or a size of 0.
void CopyTruncated(std::string_view value, char* buffer, uint32_t size);

}  // namespace kelcmd
