#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelcmd::dialogs {

// The texts of the number checks, shared by the command forms and the value editors.
inline constexpr const char* kTypeRangeExceeded = "Type range exceeded";
inline constexpr const char* kEnterInteger = "Please enter an integer.";
inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kDataTypeFailure = "Data Type failure";

// The result of reading a typed number from a field.
struct NumberCheck {
    bool ok = false;
    // The value in memory order with exactly the type's width (on success).
    std::vector<uint8_t> bytes;
    // Why the text was refused, and the text the field is set to when the check corrects it.
    std::string message;
    std::optional<std::string> corrected;
};

// Byte, Word, LWord, Int, LInt and Float are edited as numbers.
bool IsNumberType(uint8_t type);
// Bits8, Bits16, Bits32: their number of bits; 0 for other types.
int BitCount(uint8_t type);

// Reads `text` as a value of `type`. An unsigned type out of range is corrected to 0, a signed one
// to -32768, each with "Type range exceeded"; text that is no number is refused without a
// correction; a type that is not a number type gives "Data Type failure".
NumberCheck ParseNumber(uint8_t type, const std::string& text);

// Decimal integer text (surrounding blanks and a leading '+' allowed); nothing for other text.
// Values beyond 64 bits come back as the largest or smallest 64-bit value.
std::optional<long long> ParseInteger(const std::string& text);

// The value's text for a field: decimal, floats in their shortest exact form. Missing bytes read
// as 0.
std::string FormatNumber(uint8_t type, std::span<const uint8_t> bytes);

// The first (up to four) bytes as an unsigned integer, and back with the type's width.
uint32_t ReadUnsigned(std::span<const uint8_t> bytes);
std::vector<uint8_t> BytesOfType(uint8_t type, uint32_t value);

}  // namespace kelcmd::dialogs
