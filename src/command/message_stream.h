#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "command/kel_command.h"

namespace kelcmd {

// The wire layout of a structure parameter type: the widths (1, 2 or 4 bytes) of its fields in
// order. Each field travels most significant byte first.
using StructureLayout = std::vector<uint8_t>;

// Installs the layout of a structure type (TYPE_SYSPARAM, TYPE_SYSPARAM_EX); the system parameter
// family does so when it is built. A structure type without a layout travels as its raw bytes.
// Returns false for a type that is not a structure or a layout with a width other than 1, 2, 4.
bool SetStructureLayout(uint8_t type, StructureLayout layout);
std::shared_ptr<const StructureLayout> GetStructureLayout(uint8_t type);

// A cursor over the data area of a frame: writes parameter values into a message, or reads them
// from an answer. Values in memory are in the host's order, on the wire most significant byte
// first. Every write and read is bounded: one that does not fit changes nothing, marks the stream
// failed and (reads) yields zero.
class CMessageStream {
  public:
    // Writes into the data area of a message buffer, at most the 1023 bytes a frame can carry.
    static CMessageStream ForMessage(FrameBuffer& message);
    // Reads from the data area of an answer buffer, at most `limit` bytes of it.
    static CMessageStream ForAnswer(const FrameBuffer& answer, size_t limit = kDataAreaSize);
    // Over any area: the stream never touches bytes outside it.
    static CMessageStream Writer(std::span<uint8_t> area);
    static CMessageStream Reader(std::span<const uint8_t> area);

    // Bytes written so far: the message's data length once every parameter is written.
    uint16_t Count() const { return static_cast<uint16_t>(position_); }
    // Bytes read (or written) so far.
    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool Failed() const { return failed_; }

    bool WriteByte(uint8_t value);
    bool WriteWord(uint16_t value);
    bool WriteInt(int16_t value) { return WriteWord(static_cast<uint16_t>(value)); }
    bool WriteLWord(uint32_t value);
    bool WriteLInt(int32_t value) { return WriteLWord(static_cast<uint32_t>(value)); }
    bool WriteFloat(float value);
    bool WriteBytes(std::span<const uint8_t> bytes);
    // Writes a parameter value held in memory (`value` is its buffer, of the parameter's size) by
    // the rule of its type. Arrays and unknown types go as their bytes unchanged.
    bool WriteValue(uint8_t type, std::span<const uint8_t> value);

    uint8_t ReadByte();
    uint16_t ReadWord();
    int16_t ReadInt() { return static_cast<int16_t>(ReadWord()); }
    uint32_t ReadLWord();
    int32_t ReadLInt() { return static_cast<int32_t>(ReadLWord()); }
    float ReadFloat();
    bool ReadBytes(std::span<uint8_t> out);
    // Reads size / 2 16-bit values (at most 511) into `value` in host order.
    bool ReadIntArray(std::span<uint8_t> value);
    // Reads a parameter value of the type into its buffer `value` (of the parameter's size).
    // Unknown types cannot be read: false.
    bool ReadValue(uint8_t type, std::span<uint8_t> value);

    static uint16_t Swap16(uint16_t value);
    static uint32_t Reverse32(uint32_t value);

  private:
    CMessageStream(uint8_t* out, const uint8_t* in, size_t size)
        : out_(out), in_(in), size_(size) {}

    // Space for `count` more bytes, or failure.
    bool Fits(size_t count);
    bool Fail() {
        failed_ = true;
        return false;
    }
    bool WriteBigEndian(uint32_t value, size_t width);
    uint32_t ReadBigEndian(size_t width);
    bool WriteStructure(uint8_t type, std::span<const uint8_t> value);
    bool ReadStructure(uint8_t type, std::span<uint8_t> value);

    uint8_t* out_;       // the area written, null when reading
    const uint8_t* in_;  // the area read, null when writing
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace kelcmd
