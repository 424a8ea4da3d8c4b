#pragma once

#include <span>
#include <string_view>

#include "command/command_family.h"

namespace kelcmd {

// The unit's own RS232 line: characters, strings and formatted numbers written to it and read
// from it. Four codes; the first send parameter of each command, "subFunctionNumber", picks the
// operation and keeps the prototype's value.
class CSerialIoFamily : public CCommandFamily {
  public:
    static constexpr uint8_t kPutString = 0x4B;
    static constexpr uint8_t kGetString = 0x4C;
    static constexpr uint8_t kPutNumber = 0x4D;
    static constexpr uint8_t kGetNumber = 0x4E;

    CSerialIoFamily();
    std::span<const CodeRange> GetCodeRanges() const override;
};

// The manager's RS232 input/output family, which the exports use.
CSerialIoFamily& SerialIoFamily() noexcept;

// The name under which a character read is shown: "CR / carriage return" for 13, 'A' between
// apostrophes for 65, empty from 128 on.
std::string_view CharacterName(uint32_t code);

}  // namespace kelcmd
