#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelcmd {

// Frame layout inside the 1032-byte message and answer buffers: header at 0..4, data area at
// 5..1029, the CRC always at 1030..1031.
constexpr size_t kBufferSize = 1032;
constexpr size_t kHeaderSize = 5;
constexpr size_t kDataOffset = 5;
constexpr size_t kDataAreaSize = 1025;
constexpr size_t kCrcOffset = 1030;
constexpr uint16_t kMaxDataLength = 1023;

using FrameBuffer = std::array<uint8_t, kBufferSize>;

// CRC-16 of a frame: polynomial 0x1021, register from 0, each byte from its most significant bit
// into bit 0 of the register; no augmenting zero bytes, no final exclusive-or. "abc" gives 0x1EE4.
uint16_t FrameCrc(std::span<const uint8_t> bytes);

// The length word of a frame: the 10-bit data length with its 6-bit check in bits 10 to 15, chosen
// so that bits 0-4, bits 5-9 and bits 10-15 add up to a multiple of 64.
uint16_t LengthWord(uint16_t dataLength);

// Whether a received length word passes its check.
bool LengthWordValid(uint16_t word);

// A frame as on the wire: header, `dataLength` data bytes, then the CRC from its own place.
std::vector<uint8_t> FrameWireBytes(const FrameBuffer& buffer, uint16_t dataLength);

inline uint16_t LengthOf(uint16_t word) {
    return word & 0x3FF;
}

}  // namespace kelcmd
