#include "sim/drive/wire_fields.h"

#include <bit>
#include <stdexcept>

namespace kelcmd::sim {

float FieldReader::Float() {
    return std::bit_cast<float>(LWord());
}

uint64_t FieldReader::Next(size_t bytes) {
    if (offset_ + bytes > data_.size()) throw std::out_of_range("request too short");
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = (value << 8) | data_[offset_ + i];
    offset_ += bytes;
    return value;
}

FieldWriter& FieldWriter::Float(float value) {
    return LWord(std::bit_cast<uint32_t>(value));
}

FieldWriter& FieldWriter::Put(uint64_t value, size_t bytes) {
    for (size_t i = bytes; i-- > 0;) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
}

}  // namespace kelcmd::sim
