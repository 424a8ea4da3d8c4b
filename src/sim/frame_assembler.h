#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelcmd::sim {

// Collects one receiver's frames from the bytes on the line. Only a byte with the ninth bit set
// starts a frame, and only when it names this receiver; bytes without it before such a start are
// noise. The length word decides where the frame ends.
class FrameAssembler {
  public:
    enum class Result {
        Ignored,    // not part of a frame for this receiver
        Pending,    // taken; the frame is not complete yet
        Complete,   // the frame is complete: see Frame()
        BadLength,  // the length word failed its check; the rest of the frame is ignored
    };

    // `addressed`: whether an address byte names this receiver (not looked at for other bytes).
    Result Feed(uint8_t byte, bool ninthBit, bool addressed);

    // The bytes of the frame being collected, or of the last complete one, CRC included.
    std::span<const uint8_t> Frame() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
    size_t expected_ = 0;  // whole frame size once the length word is known, else 0
    bool collecting_ = false;
};

}  // namespace kelcmd::sim
