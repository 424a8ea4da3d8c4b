#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kelcmd {

// The binary archive every stored object and file uses: little-endian integers; a string is its
// length (one byte below 255; else 0xFF and 16 bits below 65534; else 0xFF, 0xFFFF and 32 bits)
// followed by its characters without terminator.
//
// A loading archive checks every read against the bytes that remain. The first read that does not
// fit marks the archive failed; that read and every later one yield zeros / empty strings, so a
// loader can read on and check Failed() once at the end.
class CArchive {
  public:
    // An archive that stores into its own growing buffer.
    CArchive();
    // An archive that loads from `bytes` (not copied: they must outlive the archive).
    explicit CArchive(std::span<const uint8_t> bytes);

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }
    bool Failed() const { return failed_; }
    void SetFailed() { failed_ = true; }
    size_t Remaining() const;
    const std::vector<uint8_t>& Data() const { return out_; }
    std::vector<uint8_t> TakeData() { return std::move(out_); }

    void WriteU8(uint8_t value);
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    void WriteI32(int32_t value) { WriteU32(static_cast<uint32_t>(value)); }
    void WriteFloat(float value);
    void WriteString(const std::string& value);
    void WriteBytes(std::span<const uint8_t> bytes);

    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    float ReadFloat();
    std::string ReadString();
    // Reads exactly `count` bytes into `out` (resized). Fails without allocating when fewer remain.
    bool ReadBytes(std::vector<uint8_t>& out, size_t count);
    bool ReadBytes(uint8_t* out, size_t count);

    // Object reference bookkeeping for class-tagged references (used by archive/object_io).
    struct ReferenceState;
    ReferenceState& References();

  private:
    bool Take(size_t count, const uint8_t*& where);

    bool storing_;
    bool failed_ = false;
    std::vector<uint8_t> out_;
    std::span<const uint8_t> in_;
    size_t position_ = 0;
    std::shared_ptr<ReferenceState> references_;
};

}  // namespace kelcmd
