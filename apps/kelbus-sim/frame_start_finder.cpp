#include "frame_start_finder.h"

#include "transport/frame.h"

namespace kelcmd::simserver {
namespace {

constexpr size_t kHeaderSize = 5;
constexpr size_t kCrcSize = 2;
constexpr size_t kStartAndLengthWord = 3;

// Appends to the last piece when it is of the same kind and still open, else starts a new one.
LinePiece& OpenPiece(std::vector<LinePiece>& pieces, LinePiece::Kind kind) {
    const bool extend = !pieces.empty() && pieces.back().kind == kind &&
                        kind != LinePiece::Kind::FrameStart && pieces.back().completedFrame.empty();
    if (!extend) pieces.push_back(LinePiece{kind, {}, {}});
    return pieces.back();
}

}  // namespace

std::vector<LinePiece> FrameStartFinder::Feed(std::span<const uint8_t> bytes) {
    std::vector<LinePiece> pieces;
    for (uint8_t byte : bytes) {
        if (expected_ != 0) {
            frame_.push_back(byte);
            LinePiece& piece = OpenPiece(pieces, LinePiece::Kind::FrameBytes);
            piece.bytes.push_back(byte);
            if (frame_.size() == expected_) {
                piece.completedFrame = std::move(frame_);
                frame_.clear();
                expected_ = 0;
            }
            continue;
        }
        held_.push_back(byte);
        if (held_.size() == kStartAndLengthWord) SettleCandidate(pieces);
    }
    return pieces;
}

void FrameStartFinder::SettleCandidate(std::vector<LinePiece>& pieces) {
    const auto word = static_cast<uint16_t>((held_[1] << 8) | held_[2]);
    if (!LengthWordValid(word)) {
        OpenPiece(pieces, LinePiece::Kind::Noise).bytes.push_back(held_.front());
        held_.erase(held_.begin());
        return;
    }
    // The shortest frame has a header and a CRC, so it never ends within these three bytes.
    expected_ = kHeaderSize + LengthOf(word) + kCrcSize;
    OpenPiece(pieces, LinePiece::Kind::FrameStart).bytes.push_back(held_.front());
    OpenPiece(pieces, LinePiece::Kind::FrameBytes).bytes.assign(held_.begin() + 1, held_.end());
    frame_ = std::move(held_);
    held_.clear();
}

void FrameStartFinder::LineQuiet() {
    frame_.clear();
    expected_ = 0;
}

}  // namespace kelcmd::simserver
