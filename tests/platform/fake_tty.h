#pragma once

// A model of a serial driver for tests of the device above it. It keeps or drops the flags a real
// driver keeps or drops, has modem lines and RS485 or not, and sends written bytes on a model wire
// in real time: 11 bits per character at the line's rate, one after the other. Drain returns when
// the last byte has entered the transmitter; the line status reports empty once its stop bit has
// left. Every write, drain, status read and modem-line change is recorded with its time.
// A driver with nine-bit addressing models Linux's: ADDRB in the line record follows the RS485
// settings alone, an address set there goes on the wire at once with the ninth bit set, written
// bytes leave with it clear, and received addresses (the echo of one) are dropped.

#include <errno.h>
#include <poll.h>
#include <termios.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/tty_driver.h"

namespace kelcmd::testing {

enum class FakeTtyCall {
    kWrite,
    kDrain,
    kLineStatus,
    kRtsHigh,
    kRtsLow,
    kDtrHigh,
    kDtrLow,
    kSetAttributes,
    kSetRs485,
    kSendAddress,  // the driver sent an address byte of its RS485 settings
    kFlush
};

struct FakeTtyEvent {
    FakeTtyCall call;
    uint64_t timeNs = 0;
    uint64_t wireEndNs = 0;  // a write: when the stop bit of its last byte leaves
    std::vector<uint8_t> bytes;
    std::vector<bool> ninthBits;  // a write: the ninth bit each byte went out with
    bool empty = false;           // a line status read: TEMT
};

// What the driver is like and what happened on it; shared by the test and the driver object.
struct FakeTtyModel {
    // The driver.
    bool keepsMarkSpace = true;
    bool keepsAddressBit = false;  // nine-bit addressing in its RS485 mode
    uint32_t maxBaud = 0;          // 0: any rate; faster ones are clamped to it
    bool modemLines = true;
    bool lineStatus = true;
    bool rs485Offered = false;
    TtyRs485 rs485;
    bool serialInfo = true;
    bool lowLatency = false;
    std::optional<uint32_t> latencyTimer;
    bool latencyWritable = true;
    bool pseudoTerminal = false;
    bool echoes = false;  // written bytes come back as input
    std::string driverName = "fake_uart";

    // Its state.
    TtyAttributes attributes = [] {
        TtyAttributes record;
        record.cflag = CS8 | CREAD | B9600;
        record.ispeed = record.ospeed = 9600;
        return record;
    }();
    int lines = 0;
    TtyCounters counters;
    std::deque<uint8_t> input;
    uint64_t wireEndNs = 0;
    std::vector<FakeTtyEvent> events;
    bool open = false;
    bool exclusive = false;  // TIOCEXCL, whoever set it
    std::mutex lock;

    uint64_t CharacterNs() const {
        const uint32_t baud = attributes.ospeed != 0 ? attributes.ospeed : 9600;
        return 11ull * 1000000000ull / baud;
    }

    bool Marking() const { return (attributes.iflag & (INPCK | PARMRK)) == (INPCK | PARMRK); }

    // Bytes arriving from the bus, with the kernel's marking of a 0xFF under PARMRK.
    void Deliver(const std::vector<uint8_t>& bytes) {
        std::lock_guard guard(lock);
        for (uint8_t byte : bytes) Queue(byte);
    }
    // One good byte into the input; the lock is held.
    void Queue(uint8_t byte) {
        if (byte == 0xFF && (attributes.iflag & PARMRK) && !(attributes.iflag & ISTRIP)) {
            input.push_back(0xFF);
        }
        input.push_back(byte);
    }
    // A byte with the wrong parity bit, as the kernel passes it on.
    void DeliverParityError(uint8_t byte) {
        std::lock_guard guard(lock);
        ++counters.parity;
        if (!(attributes.iflag & INPCK)) {
            input.push_back(byte);
        } else if (attributes.iflag & PARMRK) {
            input.insert(input.end(), {0xFF, 0x00, byte});
        }
    }
    void DeliverBreak() {
        std::lock_guard guard(lock);
        ++counters.breaks;
        if (attributes.iflag & PARMRK) {
            input.insert(input.end(), {0xFF, 0x00, 0x00});
        } else {
            input.push_back(0x00);
        }
    }

    std::vector<FakeTtyEvent> Events() {
        std::lock_guard guard(lock);
        return events;
    }
    // Every byte that went on the wire, with its ninth bit, in order.
    struct WireByte {
        uint8_t byte;
        bool ninth;
    };
    std::vector<WireByte> Wire() {
        std::vector<WireByte> wire;
        for (const FakeTtyEvent& event : Events()) {
            for (size_t i = 0; i < event.bytes.size(); ++i) {
                wire.push_back({event.bytes[i], event.ninthBits[i]});
            }
        }
        return wire;
    }
    std::vector<FakeTtyCall> Calls() {
        std::vector<FakeTtyCall> calls;
        for (const FakeTtyEvent& event : Events()) calls.push_back(event.call);
        return calls;
    }
};

class FakeTty final : public TtyDriver {
  public:
    explicit FakeTty(std::shared_ptr<FakeTtyModel> model) : model_(std::move(model)) {}

    int Open(const std::string&) override {
        std::lock_guard guard(model_->lock);
        model_->open = true;
        return 0;
    }
    int Close() override {
        std::lock_guard guard(model_->lock);
        if (!model_->open) return EBADF;
        model_->open = false;
        return 0;
    }
    bool IsOpen() const override { return model_->open; }
    int Descriptor() const override { return -1; }
    int Lock() override { return 0; }
    int SetExclusive(bool exclusive) override {
        model_->exclusive = exclusive;
        return 0;
    }
    int GetExclusive(bool& exclusive) override {
        exclusive = model_->exclusive;
        return 0;
    }

    int GetAttributes(TtyAttributes& attributes) override {
        std::lock_guard guard(model_->lock);
        attributes = model_->attributes;
        return 0;
    }
    int SetAttributes(const TtyAttributes& attributes) override {
        std::lock_guard guard(model_->lock);
        TtyAttributes kept = attributes;
        if (!model_->keepsMarkSpace) kept.cflag &= ~static_cast<uint32_t>(CMSPAR);
        // ADDRB follows the RS485 settings alone.
        kept.cflag = (kept.cflag & ~kTtyAddressBit) | (model_->attributes.cflag & kTtyAddressBit);
        if (model_->maxBaud != 0 && kept.ospeed > model_->maxBaud) {
            kept.ospeed = kept.ispeed = model_->maxBaud;
        }
        model_->attributes = kept;
        Record(FakeTtyCall::kSetAttributes);
        return 0;
    }

    int GetModemLines(int& lines) override {
        std::lock_guard guard(model_->lock);
        if (!model_->modemLines) return ENOTTY;
        lines = model_->lines;
        return 0;
    }
    int ChangeModemLines(bool raise, int lines) override {
        std::lock_guard guard(model_->lock);
        if (!model_->modemLines) return ENOTTY;
        model_->lines = raise ? (model_->lines | lines) : (model_->lines & ~lines);
        if (lines & kTtyLineRts) Record(raise ? FakeTtyCall::kRtsHigh : FakeTtyCall::kRtsLow);
        if (lines & kTtyLineDtr) Record(raise ? FakeTtyCall::kDtrHigh : FakeTtyCall::kDtrLow);
        return 0;
    }

    int GetRs485(TtyRs485& rs485) override {
        std::lock_guard guard(model_->lock);
        if (!model_->rs485Offered) return ENOTTY;
        rs485 = model_->rs485;
        return 0;
    }
    int SetRs485(const TtyRs485& rs485) override {
        std::lock_guard guard(model_->lock);
        if (!model_->rs485Offered) return ENOTTY;
        TtyRs485 kept = rs485;
        if (!kept.enabled || !model_->keepsAddressBit) kept.addressBit = false;
        if (!kept.addressBit) kept.destination.reset();
        model_->rs485 = kept;
        model_->attributes.cflag &= ~kTtyAddressBit;
        if (kept.addressBit) model_->attributes.cflag |= kTtyAddressBit;
        Record(FakeTtyCall::kSetRs485);
        if (kept.destination) {
            FakeTtyEvent& event = Record(FakeTtyCall::kSendAddress);
            event.wireEndNs = Transmit(1);
            event.bytes = {*kept.destination};
            event.ninthBits = {true};
        }
        return 0;
    }
    int GetTransmitterEmpty(bool& empty) override {
        std::lock_guard guard(model_->lock);
        if (!model_->lineStatus) return ENOTTY;
        empty = MonotonicNanoseconds() >= model_->wireEndNs;
        Record(FakeTtyCall::kLineStatus).empty = empty;
        return 0;
    }
    int GetCounters(TtyCounters& counters) override {
        std::lock_guard guard(model_->lock);
        counters = model_->counters;
        return 0;
    }
    int GetLowLatency(bool& lowLatency) override {
        std::lock_guard guard(model_->lock);
        if (!model_->serialInfo) return ENOTTY;
        lowLatency = model_->lowLatency;
        return 0;
    }
    int SetLowLatency(bool lowLatency) override {
        std::lock_guard guard(model_->lock);
        if (!model_->serialInfo) return ENOTTY;
        model_->lowLatency = lowLatency;
        return 0;
    }
    int GetLatencyTimer(uint32_t& milliseconds) override {
        std::lock_guard guard(model_->lock);
        if (!model_->latencyTimer) return ENOENT;
        milliseconds = *model_->latencyTimer;
        return 0;
    }
    int SetLatencyTimer(uint32_t milliseconds) override {
        std::lock_guard guard(model_->lock);
        if (!model_->latencyTimer) return ENOENT;
        if (!model_->latencyWritable) return EACCES;
        model_->latencyTimer = milliseconds;
        return 0;
    }

    int Write(const uint8_t* data, size_t count, size_t& written) override {
        std::lock_guard guard(model_->lock);
        FakeTtyEvent& event = Record(FakeTtyCall::kWrite);
        event.wireEndNs = Transmit(count);
        event.bytes.assign(data, data + count);
        for (size_t i = 0; i < count; ++i) event.ninthBits.push_back(NinthBit(data[i]));
        if (model_->echoes) {
            for (size_t i = 0; i < count; ++i) model_->Queue(data[i]);
        }
        written = count;
        return 0;
    }
    int Read(uint8_t* buffer, size_t count, size_t& received) override {
        std::lock_guard guard(model_->lock);
        received = 0;
        if (model_->input.empty()) return EAGAIN;
        while (received < count && !model_->input.empty()) {
            buffer[received++] = model_->input.front();
            model_->input.pop_front();
        }
        return 0;
    }
    int Poll(short events, int timeoutMs, short& revents) override {
        {
            std::lock_guard guard(model_->lock);
            revents = static_cast<short>(events & POLLOUT);
            if ((events & POLLIN) && !model_->input.empty()) revents |= POLLIN;
            if (revents != 0) return 0;
        }
        const int waitMs = timeoutMs < 0 ? 1 : std::min(timeoutMs, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        return 0;
    }
    int Drain() override {
        uint64_t until = 0;
        {
            std::lock_guard guard(model_->lock);
            // The kernel's buffer is empty once the last byte went into the transmitter.
            until = model_->wireEndNs > model_->CharacterNs()
                        ? model_->wireEndNs - model_->CharacterNs()
                        : 0;
        }
        while (MonotonicNanoseconds() < until) std::this_thread::yield();
        std::lock_guard guard(model_->lock);
        Record(FakeTtyCall::kDrain);
        return 0;
    }
    int Flush() override {
        std::lock_guard guard(model_->lock);
        model_->input.clear();
        Record(FakeTtyCall::kFlush);
        return 0;
    }
    bool IsPseudoTerminal() override { return model_->pseudoTerminal; }
    std::string DriverName() override { return model_->driverName; }

  private:
    // Puts `count` characters on the wire after those before; when the last one's stop bit leaves.
    uint64_t Transmit(size_t count) {
        const uint64_t start = std::max(MonotonicNanoseconds(), model_->wireEndNs);
        model_->wireEndNs = start + count * model_->CharacterNs();
        return model_->wireEndNs;
    }

    // The ninth bit a written byte leaves with under the record in force.
    bool NinthBit(uint8_t byte) const {
        const uint32_t cflag = model_->attributes.cflag;
        if (!(cflag & PARENB) || (cflag & kTtyAddressBit)) return false;
        const bool odd = (cflag & PARODD) != 0;
        if (cflag & CMSPAR) return odd;
        const bool onesOdd = std::popcount(byte) % 2 == 1;
        return odd ? !onesOdd : onesOdd;
    }

    FakeTtyEvent& Record(FakeTtyCall call) {
        FakeTtyEvent event;
        event.call = call;
        event.timeNs = MonotonicNanoseconds();
        model_->events.push_back(std::move(event));
        return model_->events.back();
    }

    std::shared_ptr<FakeTtyModel> model_;
};

inline std::unique_ptr<TtyDriver> MakeFakeTty(std::shared_ptr<FakeTtyModel> model) {
    return std::make_unique<FakeTty>(std::move(model));
}

}  // namespace kelcmd::testing
