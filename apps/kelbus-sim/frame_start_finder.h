#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelcmd::simserver {

// A run of host bytes on their way to the simulated bus.
struct LinePiece {
    enum class Kind {
        Noise,       // bytes that start no frame: the units ignore them
        FrameStart,  // the single first byte of a frame, sent with the ninth bit
        FrameBytes,  // the bytes after a frame start
    };
    Kind kind = Kind::Noise;
    std::vector<uint8_t> bytes;
    // FrameBytes whose last byte ends the frame carry the whole frame here, CRC included.
    std::vector<uint8_t> completedFrame;
};

// A pseudo-terminal carries no ninth bit, so the bridge finds where the host's frames start from
// their structure instead: a frame starts where a byte is followed by a length word that passes
// its check, and the length word says where it ends. The next byte after a frame is the next
// candidate start; three bytes whose length word fails slide the candidate by one byte. A frame
// with a good length word but a bad CRC is still a frame: the unit answers it with a negative
// acknowledge, as on a real bus.
class FrameStartFinder {
  public:
    // The pieces the bytes complete, in order. Up to two bytes of a candidate start stay held
    // until the length word decides about them.
    std::vector<LinePiece> Feed(std::span<const uint8_t> bytes);

    // The line went quiet: a frame cut short is given up, so that the next byte is a candidate
    // start again. Held bytes stay: a host may pause after a frame's address byte (it changes the
    // parity before the rest), and stray ones slide away with the bytes that follow.
    void LineQuiet();

    bool FrameOpen() const { return expected_ != 0; }
    // Nothing held and no frame open.
    bool Idle() const { return held_.empty() && expected_ == 0; }

  private:
    void SettleCandidate(std::vector<LinePiece>& pieces);

    std::vector<uint8_t> held_;   // a candidate frame start and what follows it, below 3 bytes
    std::vector<uint8_t> frame_;  // the open frame so far
    size_t expected_ = 0;         // its whole size; 0 when no frame is open
};

}  // namespace kelcmd::simserver
