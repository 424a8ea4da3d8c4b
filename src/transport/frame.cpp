#include "transport/frame.h"

namespace kelcmd {

uint16_t FrameCrc(std::span<const uint8_t> bytes) {
    uint16_t crc = 0;
    for (uint8_t byte : bytes) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool carry = (crc & 0x8000) != 0;
            crc = static_cast<uint16_t>((crc << 1) | ((byte >> bit) & 1));
            if (carry) crc ^= 0x1021;
        }
    }
    return crc;
}

uint16_t LengthWord(uint16_t dataLength) {
    const uint16_t length = dataLength & 0x3FF;
    const unsigned a = length & 0x1F;
    const unsigned b = (length >> 5) & 0x1F;
    const unsigned check = (64 - ((a + b) % 64)) % 64;
    return static_cast<uint16_t>(length | (check << 10));
}

bool LengthWordValid(uint16_t word) {
    const unsigned sum = (word & 0x1F) + ((word >> 5) & 0x1F) + ((word >> 10) & 0x3F);
    return sum % 64 == 0;
}

}  // namespace kelcmd
