#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "sim/fault.h"
#include "sim/frame_assembler.h"
#include "sim/sim_answer.h"
#include "sim/sim_clock.h"

namespace kelcmd::sim {

class SimUnit;

// Runs one command code on a unit with the request's data and says what to answer. Handlers run on
// the thread that writes to the bus, without the unit's lock, so they may use the unit's store.
using CommandHandler = std::function<SimAnswer(SimUnit& unit, std::span<const uint8_t> data)>;

// Behaviour attached to a unit beyond the generic store, e.g. a drive model: it registers its
// command handlers when attached and keeps its own state (guarding it if test threads touch it).
class UnitModel {
  public:
    virtual ~UnitModel() = default;
    virtual void Install(SimUnit& unit) = 0;
};

// What a unit sends in reply to a frame, in real-time offsets from the end of the request.
struct UnitReply {
    std::vector<uint8_t> ack;     // empty: no acknowledge
    std::vector<uint8_t> answer;  // empty: no answer frame
    std::chrono::steady_clock::duration answerDelay{};
};

struct UnitCounters {
    uint64_t framesTaken = 0;       // complete frames with a good CRC addressed to the unit
    uint64_t framesRejected = 0;    // bad CRC or bad length word
    uint64_t commandsExecuted = 0;  // handlers run (group frames included)
    uint64_t resendsServed = 0;
    std::array<uint64_t, kFaultKinds> faultsInjected{};  // frames hit, by kind
};

// One simulated unit on a bus. Thread-safe: the bus feeds it line bytes while test threads set
// its store, faults and handlers.
class SimUnit {
  public:
    static constexpr uint8_t kDefaultAck = 0x01;
    static constexpr uint8_t kNak = 0xFF;

    SimUnit(uint8_t address, const SimClock& clock);
    ~SimUnit();
    SimUnit(const SimUnit&) = delete;
    SimUnit& operator=(const SimUnit&) = delete;

    uint8_t Address() const { return address_; }
    const SimClock& Clock() const { return clock_; }
    // The unit's own time: the bus clock, and while a batch runs, the time its earlier members
    // took (they answer only after waiting, so later members see their effect).
    std::chrono::microseconds Now() const { return clock_.Now() + batchElapsed_.load(); }
    void SetBatchElapsed(std::chrono::microseconds elapsed) { batchElapsed_ = elapsed; }

    // Group addresses (128 to 253, and 255) make the unit run commands sent to the group, silently.
    bool AddGroup(uint8_t group);
    void RemoveGroup(uint8_t group);
    bool Listens(uint8_t dest) const;

    // The value of a positive acknowledge (0x01, 0x80, 0xC0, ... all count as positive).
    void SetAckValue(uint8_t value);
    uint8_t AckValue() const;

    void SetHandler(uint8_t code, CommandHandler handler);
    void RemoveHandler(uint8_t code);
    bool HasHandler(uint8_t code) const;
    // Runs the handler of `code` as a frame would (a batch runs its members so); no handler:
    // refused with UNKNOWN.
    SimAnswer RunCommand(uint8_t code, std::span<const uint8_t> data) {
        return Execute(code, data);
    }

    // Misbehave on the next `count` answered frames (kAlways: until ClearFaults). See Fault.
    void Misbehave(Fault fault, int count = 1, std::optional<uint32_t> parameter = std::nullopt);
    // Misbehave at random on answered frames from now on (see RandomFaults).
    void MisbehaveAtRandom(const RandomFaults& random);
    void ClearFaults();

    // A generic store that tests and handlers share (inputs to set, outputs to read).
    void SetValue(const std::string& key, int64_t value);
    int64_t Value(const std::string& key, int64_t fallback = 0) const;
    bool HasValue(const std::string& key) const;

    // Attaches a model (replacing any earlier one) and lets it install its handlers.
    void AttachModel(std::unique_ptr<UnitModel> model);
    template <class Model>
    Model* ModelAs() {
        std::lock_guard lock(mutex_);
        return dynamic_cast<Model*>(model_.get());
    }

    UnitCounters Counters() const;
    // The last answer frame as encoded, before any fault damaged it; a ResendRequest repeats it.
    std::vector<uint8_t> LastAnswer() const;

    // Called by the bus for every byte on the line; the reply, if any, follows the byte.
    std::optional<UnitReply> OnLineByte(uint8_t byte, bool ninthBit);

  private:
    std::optional<UnitReply> OnFrame(std::span<const uint8_t> frame);
    std::optional<UnitReply> Nak(uint8_t dest);
    SimAnswer Execute(uint8_t code, std::span<const uint8_t> data);

    const uint8_t address_;
    const SimClock& clock_;
    std::atomic<std::chrono::microseconds> batchElapsed_{};
    FrameAssembler assembler_;  // used only from the bus's writing thread

    mutable std::mutex mutex_;
    std::set<uint8_t> groups_;
    uint8_t ackValue_ = kDefaultAck;
    std::map<uint8_t, CommandHandler> handlers_;
    FaultBook faults_;
    std::map<std::string, int64_t> store_;
    std::unique_ptr<UnitModel> model_;
    // Replaced models stay alive: handlers they installed may still point at them.
    std::vector<std::unique_ptr<UnitModel>> retiredModels_;
    UnitCounters counters_;
    std::vector<uint8_t> lastAnswer_;
};

}  // namespace kelcmd::sim
