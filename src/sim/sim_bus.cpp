#include "sim/sim_bus.h"

#include <thread>

#include "sim/sim_options.h"
#include "sim/test_commands.h"
#include "sim/unit_setup.h"

namespace kelcmd::sim {
namespace {

// Start bit, eight data bits, the ninth (parity) bit and one stop bit.
constexpr int64_t kBitsPerCharacter = 11;

}  // namespace

SimBus::SimBus(std::string name) : name_(std::move(name)) {}

SimUnit* SimBus::AddUnit(uint8_t address) {
    if (address < kFirstUnitAddress || address > kLastUnitAddress) return nullptr;
    SimUnit* unit = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto& slot = units_[address];
        if (slot) return slot.get();
        slot = std::make_unique<SimUnit>(address, clock_);
        unit = slot.get();
    }
    // Set up outside the bus lock: the setup only touches the unit, which guards itself. Frames for
    // the unit can arrive meanwhile and are answered with whatever is installed so far.
    InstallTestCommands(*unit);
    ApplyDefaultUnitSetup(*unit);
    return unit;
}

SimUnit* SimBus::Unit(uint8_t address) {
    std::lock_guard lock(mutex_);
    const auto found = units_.find(address);
    return found == units_.end() ? nullptr : found->second.get();
}

std::vector<uint8_t> SimBus::UnitAddresses() const {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> addresses;
    for (const auto& [address, unit] : units_) addresses.push_back(address);
    return addresses;
}

void SimBus::SetPaced(bool paced) {
    std::lock_guard lock(mutex_);
    paced_ = paced;
}

bool SimBus::Paced() const {
    std::lock_guard lock(mutex_);
    return paced_;
}

bool SimBus::TryOpen() {
    std::lock_guard lock(mutex_);
    if (open_) return false;
    open_ = true;
    ++counters_.opens;
    return true;
}

void SimBus::Release() {
    std::lock_guard lock(mutex_);
    open_ = false;
}

bool SimBus::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void SimBus::SetBaud(uint32_t baud) {
    std::lock_guard lock(mutex_);
    baud_ = baud;
}

SimBus::RealClock::duration SimBus::CharacterTimeLocked() const {
    if (!paced_ || baud_ == 0) return RealClock::duration::zero();
    return std::chrono::duration_cast<RealClock::duration>(
        std::chrono::nanoseconds(kBitsPerCharacter * 1'000'000'000 / baud_));
}

void SimBus::HostWrite(std::span<const uint8_t> bytes, bool ninthBit) {
    std::lock_guard lock(mutex_);
    const auto characterTime = CharacterTimeLocked();
    auto byteEnd = std::max(RealClock::now(), transmitterFreeAt_);
    for (uint8_t byte : bytes) {
        wireLog_.push_back({byte, ninthBit});
        ++counters_.bytesWritten;
        byteEnd += characterTime;
        for (auto& [address, unit] : units_) {
            if (auto reply = unit->OnLineByte(byte, ninthBit)) ScheduleLocked(*reply, byteEnd);
        }
    }
    transmitterFreeAt_ = byteEnd;
}

void SimBus::ScheduleLocked(const UnitReply& reply, RealClock::time_point requestEnd) {
    // A unit replies only after the request has left the line, one byte after the other.
    auto at = SendLocked(reply.ack, std::max(requestEnd, lineFreeAt_));
    if (!reply.ack.empty()) ++counters_.acksSent;
    if (!reply.answer.empty()) {
        SendLocked(reply.answer, at + reply.answerDelay);
        ++counters_.answersSent;
    }
}

SimBus::RealClock::time_point SimBus::SendLocked(std::span<const uint8_t> bytes,
                                                 RealClock::time_point from) {
    const auto characterTime = CharacterTimeLocked();
    if (characterTime == RealClock::duration::zero()) {
        input_.Push(bytes, from);
        return from;
    }
    auto at = std::max(from, lineFreeAt_);
    for (uint8_t byte : bytes) {
        at += characterTime;
        input_.Push(std::span(&byte, 1), at);
    }
    lineFreeAt_ = at;
    return at;
}

void SimBus::WaitTransmitterEmpty() {
    RealClock::time_point freeAt;
    {
        std::lock_guard lock(mutex_);
        freeAt = transmitterFreeAt_;
    }
    std::this_thread::sleep_until(freeAt);
}

size_t SimBus::HostRead(std::span<uint8_t> buffer, const CommTimeouts& timeouts) {
    const size_t received = input_.Read(buffer, timeouts);
    std::lock_guard lock(mutex_);
    counters_.bytesRead += received;
    return received;
}

void SimBus::PurgeInput() {
    input_.DropArrived();
    std::lock_guard lock(mutex_);
    ++counters_.purges;
}

void SimBus::InjectInput(const std::vector<uint8_t>& bytes, std::chrono::milliseconds after) {
    input_.Push(bytes, RealClock::now() + after);
}

std::vector<WireByte> SimBus::WireLog() const {
    std::lock_guard lock(mutex_);
    return wireLog_;
}

std::vector<uint8_t> SimBus::WrittenBytes() const {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> bytes;
    bytes.reserve(wireLog_.size());
    for (const auto& entry : wireLog_) bytes.push_back(entry.value);
    return bytes;
}

void SimBus::ClearWireLog() {
    std::lock_guard lock(mutex_);
    wireLog_.clear();
}

BusCounters SimBus::Counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

}  // namespace kelcmd::sim
