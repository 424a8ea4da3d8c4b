#include "pty_bridge.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace kelcmd::simserver {
namespace {

using Clock = std::chrono::steady_clock;

// How often the threads look at their stop request.
constexpr int kPollMs = 10;
// A frame cut short is given up after the line was quiet this long. A host writes the rest of a
// frame after its address byte at once, well within this even on a loaded machine.
constexpr auto kQuietGap = std::chrono::milliseconds(100);
// While no program has the slave open the master reports a hang-up at once; look again after this.
constexpr auto kNoHostPause = std::chrono::milliseconds(20);
// Unit bytes that the host does not take within this long are dropped, as on a line nobody reads.
constexpr int kWriteWaitMs = 1000;

// Reads of the units' bytes: the bytes that follow each other within 2 ms, and at most 50 ms
// waiting, so that the thread sees its stop request.
constexpr CommTimeouts kUnitReadTimeouts{2, 0, 50, 0, 0};

constexpr uint8_t kLastUnitAddress = 127;

// The data bytes of a full-speed USB packet of an FTDI adapter (64, less two status bytes).
constexpr size_t kAdapterPacketBytes = 62;

std::string Hex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace

PtyBridge::PtyBridge(const PtyPort& port, sim::SimBus& bus, FaultDice dice, std::FILE* trace,
                     uint32_t latencyTimerMs)
    : port_(port),
      bus_(bus),
      dice_(std::move(dice)),
      trace_(trace),
      latencyTimerMs_(latencyTimerMs) {
    hostBytes_ = std::jthread([this](std::stop_token stop) { CarryHostBytes(stop); });
    unitBytes_ = std::jthread([this](std::stop_token stop) { CarryUnitBytes(stop); });
}

PtyBridge::~PtyBridge() {
    Stop();
}

void PtyBridge::Stop() {
    hostBytes_.request_stop();
    unitBytes_.request_stop();
    if (hostBytes_.joinable()) hostBytes_.join();
    if (unitBytes_.joinable()) unitBytes_.join();
}

std::string PtyBridge::Error() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

void PtyBridge::Fail(const std::string& error) {
    {
        std::lock_guard lock(errorMutex_);
        if (error_.empty()) error_ = error;
    }
    failed_ = true;
}

void PtyBridge::Trace(const char* what, std::span<const uint8_t> bytes) {
    // One call per line: the two threads' lines do not mix.
    if (trace_ != nullptr) std::fprintf(trace_, "%-7s %s\n", what, Hex(bytes).c_str());
}

void PtyBridge::CarryHostBytes(std::stop_token stop) {
    const bool paced = bus_.Paced();
    auto lastByte = Clock::now();
    uint8_t buffer[4096];
    while (!stop.stop_requested()) {
        pollfd descriptor{port_.Master(), POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, kPollMs);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Fail(std::string("poll: ") + std::strerror(errno));
        }
        bool noHost = ready > 0 && !(descriptor.revents & POLLIN);
        if (ready > 0 && (descriptor.revents & POLLIN)) {
            const ssize_t count = ::read(port_.Master(), buffer, sizeof buffer);
            if (count > 0) {
                lastByte = Clock::now();
                // The host sets its baud rate on the slave; the units' bytes take their time at it.
                if (paced) bus_.SetBaud(port_.HostBaud());
                ForwardToUnits(
                    finder_.Feed(std::span<const uint8_t>(buffer, static_cast<size_t>(count))));
                continue;
            }
            if (count < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                return Fail(std::string("read: ") + std::strerror(errno));
            }
            noHost = count < 0 && errno == EIO;
        }
        if (finder_.FrameOpen() && Clock::now() - lastByte > kQuietGap) finder_.LineQuiet();
        if (noHost) std::this_thread::sleep_for(kNoHostPause);
    }
}

void PtyBridge::ForwardToUnits(const std::vector<LinePiece>& pieces) {
    for (const LinePiece& piece : pieces) {
        switch (piece.kind) {
            case LinePiece::Kind::Noise:
                Trace("noise", piece.bytes);
                bus_.HostWrite(piece.bytes, false);
                break;
            case LinePiece::Kind::FrameStart:
                bus_.HostWrite(piece.bytes, true);
                break;
            case LinePiece::Kind::FrameBytes:
                if (!piece.completedFrame.empty()) {
                    Trace("request", piece.completedFrame);
                    // The faults strike this very frame: its unit takes them with it.
                    const uint8_t dest = piece.completedFrame.front();
                    sim::SimUnit* unit = dest <= kLastUnitAddress ? bus_.Unit(dest) : nullptr;
                    if (unit != nullptr) dice_.Roll(*unit);
                }
                bus_.HostWrite(piece.bytes, false);
                break;
        }
    }
}

void PtyBridge::CarryUnitBytes(std::stop_token stop) {
    if (latencyTimerMs_ > 0) return CarryUnitBytesInPackets(stop);
    uint8_t buffer[1024];
    while (!stop.stop_requested()) {
        const size_t count = bus_.HostRead(buffer, kUnitReadTimeouts);
        if (count == 0) continue;
        const std::span<const uint8_t> bytes(buffer, count);
        Trace("reply", bytes);
        if (!WriteToHost(bytes, stop)) return;
    }
}

// A USB adapter (an FTDI chip) sends what it received in one packet when its buffer is full, or
// else at each expiry of its latency timer, which runs on its own: a byte waits up to the timer's
// period, and the bytes that came meanwhile arrive together.
void PtyBridge::CarryUnitBytesInPackets(std::stop_token stop) {
    const auto period = std::chrono::milliseconds(latencyTimerMs_);
    uint8_t packet[kAdapterPacketBytes];
    size_t held = 0;
    auto expiry = Clock::now() + period;
    while (!stop.stop_requested()) {
        const auto now = Clock::now();
        if (now < expiry) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(expiry - now);
            const CommTimeouts wait{
                0, 0, static_cast<uint32_t>(std::min<int64_t>(left.count(), 50)), 0, 0};
            held += bus_.HostRead(std::span<uint8_t>(packet + held, sizeof packet - held), wait);
            if (held < sizeof packet) continue;
        } else {
            expiry += period * (1 + (now - expiry) / period);
        }
        if (held == 0) continue;
        const std::span<const uint8_t> bytes(packet, held);
        Trace("reply", bytes);
        held = 0;
        if (!WriteToHost(bytes, stop)) return;
    }
}

bool PtyBridge::WriteToHost(std::span<const uint8_t> bytes, const std::stop_token& stop) {
    int waitedMs = 0;
    while (!bytes.empty() && !stop.stop_requested()) {
        const ssize_t written = ::write(port_.Master(), bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<size_t>(written));
            continue;
        }
        // No program has the slave open: the bytes go nowhere, as on a line nobody listens to.
        if (written < 0 && errno == EIO) return true;
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            Fail(std::string("write: ") + std::strerror(errno));
            return false;
        }
        if (waitedMs >= kWriteWaitMs) return true;
        pollfd descriptor{port_.Master(), POLLOUT, 0};
        (void)::poll(&descriptor, 1, kPollMs);
        waitedMs += kPollMs;
    }
    return true;
}

}  // namespace kelcmd::simserver
