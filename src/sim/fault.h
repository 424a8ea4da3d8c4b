#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace kelcmd::sim {

// Ways a unit can misbehave on purpose. The parameter of an order (see FaultBook::Order) is:
//   CorruptAck     the acknowledge value sent instead (default 0x00)
//   LateAnswer     extra real-time delay of the answer in ms (default 1000)
//   CutAnswer      number of answer bytes sent before the unit stops (default 0)
//   WrongFirstByte the first answer byte sent instead of 0 (default 5)
// The others take no parameter.
enum class Fault : uint8_t {
    DropAck,         // no acknowledge; the command still runs and answers
    CorruptAck,      // acknowledge of another value; the command still runs and answers
    NakAck,          // 0xFF as if the frame arrived corrupted; nothing runs, no answer
    Silent,          // the frame is lost: no acknowledge, nothing runs, no answer
    AckNoAnswer,     // acknowledge and run, but the answer is lost (a resend still gets it)
    LateAnswer,      // the answer comes later than the command would give it
    CutAnswer,       // the answer stops after some bytes
    CorruptCrc,      // both CRC bytes of the answer inverted
    CorruptLength,   // the length word of the answer fails its check
    WrongFirstByte,  // the answer starts with a byte other than 0
};

constexpr size_t kFaultKinds = static_cast<size_t>(Fault::WrongFirstByte) + 1;

// Count of an order that stays until cleared.
constexpr int kAlways = -1;

// Faults at random, for soak runs: each answered frame is hit with probability `rate` by one
// kind drawn evenly from every kind. The drawn parameters: a non-positive acknowledge value, a
// cut after 0 to 9 bytes, a first byte from 1 to 255; a late answer comes `lateAnswerMs` late.
struct RandomFaults {
    double rate = 0;
    uint32_t seed = 1;
    uint32_t lateAnswerMs = 1000;
};

// What the faults in force do to one frame's acknowledge and answer.
struct FrameFaults {
    bool dropAck = false;
    std::optional<uint8_t> ackValue;
    bool nak = false;
    bool silent = false;
    bool dropAnswer = false;
    uint32_t extraDelayMs = 0;
    std::optional<size_t> cutAfter;
    bool corruptCrc = false;
    bool corruptLength = false;
    std::optional<uint8_t> firstByte;
};

// The misbehaviour orders of one unit. Not locked by itself: its unit guards it.
class FaultBook {
  public:
    // `count` frames from now on (kAlways or any negative count: until cleared; 0: nothing).
    void Order(Fault fault, int count = 1, std::optional<uint32_t> parameter = std::nullopt);
    void Clear() { orders_.clear(); }
    bool Empty() const { return orders_.empty(); }

    // Draws faults at random from now on (a rate of 0 stops it); the orders stay as they are.
    void SetRandom(const RandomFaults& random);

    // Every order in force applies to the frame now answered and counts it; then the random draw.
    FrameFaults TakeForFrame();

    // How many frames each kind hit, ordered and drawn.
    const std::array<uint64_t, kFaultKinds>& Injected() const { return injected_; }

  private:
    struct FaultOrder {
        Fault fault;
        int remaining;  // negative: always
        std::optional<uint32_t> parameter;
    };
    void Draw(FrameFaults& faults);

    std::vector<FaultOrder> orders_;
    RandomFaults random_;
    std::mt19937 generator_;
    std::array<uint64_t, kFaultKinds> injected_{};
};

// Applies the answer faults to an encoded answer frame.
void DamageAnswer(const FrameFaults& faults, std::vector<uint8_t>& answer);

}  // namespace kelcmd::sim
