#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>

#include "platform/serial_device.h"

namespace kelcmd::sim {

// The receive side of the host's device: bytes that become readable at a given time, and reads
// that wait for them under serial read timeouts against the real monotonic clock. Thread-safe.
class TimedInput {
  public:
    using Clock = std::chrono::steady_clock;

    // Bytes become readable in the order of their times; equal times keep the order of pushing.
    void Push(std::span<const uint8_t> bytes, Clock::time_point readableAt);

    // Drops the bytes that have already arrived; bytes still on their way arrive later, as on a
    // real line.
    size_t DropArrived();
    void Clear();

    // Bytes waiting, arrived or not.
    size_t Pending() const;

    // Reads up to buffer.size() bytes. Returns when all arrived, when more than the read interval
    // passes between two bytes (after the first; 0 = no interval limit), or when the read has
    // lasted multiplier * n + constant ms (both 0, or the constant 4294967295: no total limit).
    size_t Read(std::span<uint8_t> buffer, const CommTimeouts& timeouts);

  private:
    struct Entry {
        uint8_t byte;
        Clock::time_point readableAt;
    };

    mutable std::mutex mutex_;
    std::condition_variable pushed_;
    std::deque<Entry> entries_;  // ordered by readableAt
};

}  // namespace kelcmd::sim
