#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace kelcmd::sim {

// The unit's own RS232 line: what the unit wrote to it (output) and what a terminal sent it
// (input). Test code feeds the input and reads the output. Thread-safe.
class SimSerialChannel {
  public:
    // As if a terminal had sent these bytes.
    void FeedInput(std::string_view bytes);
    size_t PendingInput() const;
    // Everything the unit wrote so far; Take also empties it.
    std::string Output() const;
    std::string TakeOutput();

    // The unit's side.
    void Write(std::string_view bytes);
    std::optional<char> ReadChar();
    // The characters up to the next CR or LF (which is consumed, and a LF right after a CR too),
    // or all that are pending when none comes.
    std::string ReadLine();

  private:
    mutable std::mutex mutex_;
    std::deque<char> input_;
    std::string output_;
};

// How the unit prints numbers for the PutNumber sub-functions (0x12 Word decimal ... 0x32 Word
// binary): `value` as the sub-function's type, right-aligned in `width` characters (hexadecimal
// and binary padded with zeros). Nothing for an unknown sub-function.
std::optional<std::string> FormatSerialNumber(uint8_t subFunction, uint32_t value, uint8_t width);
// PutFloat_Dec: "%<totalWidth>.<decimalPlaces><representation>"; representation one of f e E g G.
std::optional<std::string> FormatSerialFloat(float value, char representation, uint8_t totalWidth,
                                             uint8_t decimalPlaces);

}  // namespace kelcmd::sim
