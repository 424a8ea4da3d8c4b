#include "transport/frame.h"

#include <algorithm>

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

std::vector<uint8_t> FrameWireBytes(const FrameBuffer& buffer, uint16_t dataLength) {
    const size_t length = std::min<size_t>(dataLength, kMaxDataLength);
    std::vector<uint8_t> bytes(buffer.begin(), buffer.begin() + kHeaderSize + length);
    bytes.push_back(buffer[kCrcOffset]);
    bytes.push_back(buffer[kCrcOffset + 1]);
    return bytes;
}

}  // namespace kelcmd
