#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelcmd::sim {

// Reads the parameters of a request in wire order, most significant byte first, floats as their
// IEEE bits. Reading past the end throws, which the unit turns into a refusal.
class FieldReader {
  public:
    explicit FieldReader(std::span<const uint8_t> data) : data_(data) {}

    uint8_t Byte() { return static_cast<uint8_t>(Next(1)); }
    uint16_t Word() { return static_cast<uint16_t>(Next(2)); }
    int16_t Int() { return static_cast<int16_t>(Next(2)); }
    uint32_t LWord() { return static_cast<uint32_t>(Next(4)); }
    int32_t LInt() { return static_cast<int32_t>(Next(4)); }
    float Float();

  private:
    uint64_t Next(size_t bytes);

    std::span<const uint8_t> data_;
    size_t offset_ = 0;
};

// Writes the parameters of an answer in wire order.
class FieldWriter {
  public:
    FieldWriter& Byte(uint8_t value) { return Put(value, 1); }
    FieldWriter& Word(uint16_t value) { return Put(value, 2); }
    FieldWriter& Int(int16_t value) { return Put(static_cast<uint16_t>(value), 2); }
    FieldWriter& LWord(uint32_t value) { return Put(value, 4); }
    FieldWriter& LInt(int32_t value) { return Put(static_cast<uint32_t>(value), 4); }
    FieldWriter& Float(float value);

    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    FieldWriter& Put(uint64_t value, size_t bytes);

    std::vector<uint8_t> bytes_;
};

}  // namespace kelcmd::sim
