#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "sim/sim_clock.h"
#include "sim/sim_unit.h"
#include "sim/timed_input.h"

namespace kelcmd::sim {

// One byte the host wrote, with its ninth bit (mark parity: an address byte).
struct WireByte {
    uint8_t value = 0;
    bool ninthBit = false;
    bool operator==(const WireByte&) const = default;
};

struct BusCounters {
    uint64_t opens = 0;
    uint64_t bytesWritten = 0;  // by the host
    uint64_t bytesRead = 0;     // by the host
    uint64_t acksSent = 0;      // acknowledge bytes of the units, negative ones included
    uint64_t answersSent = 0;   // answer frames of the units, damaged ones included
    uint64_t purges = 0;
};

// A simulated bus: the units on it, the bytes the host wrote (the wire log), and the bytes the
// units send back on their way to the host's device. At most one device has it open at a time.
// Thread-safe: a test thread may configure units, feed input and read the log during exchanges.
class SimBus {
  public:
    explicit SimBus(std::string name);
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    const std::string& Name() const { return name_; }

    // Adds a unit (with the test commands and the default unit setup) or returns the one already
    // there. Null for an address that is not a unit address (1 to 127).
    SimUnit* AddUnit(uint8_t address);
    // Null when there is no unit at that address. The pointer lives as long as the bus.
    SimUnit* Unit(uint8_t address);
    std::vector<uint8_t> UnitAddresses() const;

    SimClock& Clock() { return clock_; }
    // Paced: host bytes take 11 bits at the line's baud rate to leave, unit bytes as long to
    // arrive.
    void SetPaced(bool paced);
    bool Paced() const;

    // The host side, used by the device.
    bool TryOpen();
    void Release();
    bool IsOpen() const;
    void SetBaud(uint32_t baud);
    void HostWrite(std::span<const uint8_t> bytes, bool ninthBit);
    void WaitTransmitterEmpty();
    size_t HostRead(std::span<uint8_t> buffer, const CommTimeouts& timeouts);
    void PurgeInput();

    // The test side.
    // Bytes that reach the host's device `after` from now, as if a unit had sent them.
    void InjectInput(const std::vector<uint8_t>& bytes,
                     std::chrono::milliseconds after = std::chrono::milliseconds(0));
    size_t PendingInput() const { return input_.Pending(); }
    std::vector<WireByte> WireLog() const;
    std::vector<uint8_t> WrittenBytes() const;  // the wire log without the ninth bits
    void ClearWireLog();
    BusCounters Counters() const;

  private:
    using RealClock = std::chrono::steady_clock;

    RealClock::duration CharacterTimeLocked() const;
    void ScheduleLocked(const UnitReply& reply, RealClock::time_point requestEnd);
    RealClock::time_point SendLocked(std::span<const uint8_t> bytes, RealClock::time_point from);

    const std::string name_;
    SimClock clock_;
    TimedInput input_;

    mutable std::mutex mutex_;
    std::map<uint8_t, std::unique_ptr<SimUnit>> units_;
    std::vector<WireByte> wireLog_;
    BusCounters counters_;
    bool open_ = false;
    bool paced_ = false;
    uint32_t baud_ = 0;
    RealClock::time_point transmitterFreeAt_{};  // the host's last byte has left by then
    RealClock::time_point lineFreeAt_{};         // the units' last byte has arrived by then
};

}  // namespace kelcmd::sim
