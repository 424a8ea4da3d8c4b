#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace kelcmd::sim {

// What a command handler of a simulated unit gives back.
struct SimAnswer {
    uint8_t mtype = 0;  // the request's code for a positive answer, else the refusal reason
    std::vector<uint8_t> data;
    bool sendsFrame = true;                      // false: acknowledge only, no answer frame
    std::chrono::microseconds simulatedDelay{};  // the answer follows after this simulated time
};

// The longest data a frame can carry.
constexpr size_t kMaxFrameData = 1023;

SimAnswer PositiveAnswer(uint8_t code, std::vector<uint8_t> data = {});

// A refusal: mtype = reason, and the warning in the last two data bytes, most significant first.
SimAnswer RefusalAnswer(uint8_t reason, int16_t warning);

// The command runs and is acknowledged, but no answer frame follows.
SimAnswer NoAnswerFrame();

// An answer frame as a unit sends it: dest 0, length word, send = the unit, mtype, data, CRC.
// Data beyond the longest a frame can carry is cut off.
std::vector<uint8_t> EncodeAnswerFrame(uint8_t sender, uint8_t mtype,
                                       std::span<const uint8_t> data);

}  // namespace kelcmd::sim
