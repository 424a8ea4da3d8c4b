#include "sim/frame_assembler.h"

#include "transport/frame.h"

namespace kelcmd::sim {
namespace {

constexpr size_t kHeaderSize = 5;
constexpr size_t kCrcSize = 2;

}  // namespace

FrameAssembler::Result FrameAssembler::Feed(uint8_t byte, bool ninthBit, bool addressed) {
    if (ninthBit) {
        // An address byte always ends whatever was being collected.
        bytes_.clear();
        expected_ = 0;
        collecting_ = addressed;
        if (!addressed) return Result::Ignored;
        bytes_.push_back(byte);
        return Result::Pending;
    }
    if (!collecting_) return Result::Ignored;
    bytes_.push_back(byte);
    if (bytes_.size() == 3) {
        const auto word = static_cast<uint16_t>((bytes_[1] << 8) | bytes_[2]);
        if (!LengthWordValid(word)) {
            collecting_ = false;
            return Result::BadLength;
        }
        expected_ = kHeaderSize + LengthOf(word) + kCrcSize;
    }
    if (expected_ != 0 && bytes_.size() == expected_) {
        collecting_ = false;
        return Result::Complete;
    }
    return Result::Pending;
}

}  // namespace kelcmd::sim
