#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelcmd::sim {

// The longest data of a batch message.
constexpr size_t kMaxBatchData = 1023;

// The send-data sizes a catalogue command code can have inside a batch, given the batch's data
// after the code (`rest`). A code that two catalogue commands share with different parameters
// (MoveAbsolute and MoveAbsoluteInfo) has two sizes; where a sub-function or a parameter number
// decides (SetTempParam, the serial line's output) the first data byte picks the one size. A
// member of any length (a user parameter area, PutString) cannot be delimited, so it takes the
// rest of the batch: hosts put it last. Empty for a code a batch cannot carry.
std::vector<uint16_t> MemberSendSizes(uint8_t code, std::span<const uint8_t> rest);

struct BatchMember {
    uint8_t code = 0;
    std::span<const uint8_t> data;  // the member's send data, inside the batch's data
};

// How a batch's data splits into members. Where a code has several sizes, the first size that
// still lets the rest of the data split completely is taken. `members` holds the members up to
// the first that cannot be split off; `stopCode` is that member's code, or nullopt when the whole
// data split.
struct BatchSplit {
    std::vector<BatchMember> members;
    std::optional<uint8_t> stopCode;
    bool unknownCode = false;  // the stop is a code no batch can carry
};
BatchSplit SplitBatch(std::span<const uint8_t> data);

}  // namespace kelcmd::sim
