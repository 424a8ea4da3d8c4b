#include "sim/timed_input.h"

#include <algorithm>
#include <optional>

namespace kelcmd::sim {
namespace {

std::optional<TimedInput::Clock::time_point> TotalDeadline(TimedInput::Clock::time_point start,
                                                           const CommTimeouts& timeouts,
                                                           size_t count) {
    if (timeouts.readTotalConstant == kWaitWithoutLimit) return std::nullopt;
    if (timeouts.readTotalMultiplier == 0 && timeouts.readTotalConstant == 0) return std::nullopt;
    // Beyond a century the limit means nothing, and the clock's arithmetic would overflow.
    constexpr uint64_t kCenturyMs = 100ull * 365 * 24 * 3600 * 1000;
    const uint64_t multiplied =
        count > kCenturyMs / std::max<uint64_t>(1, timeouts.readTotalMultiplier)
            ? kCenturyMs
            : uint64_t{timeouts.readTotalMultiplier} * count;
    const uint64_t ms = multiplied + timeouts.readTotalConstant;
    if (ms >= kCenturyMs) return std::nullopt;
    return start + std::chrono::milliseconds(ms);
}

}  // namespace

void TimedInput::Push(std::span<const uint8_t> bytes, Clock::time_point readableAt) {
    if (bytes.empty()) return;
    {
        std::lock_guard lock(mutex_);
        auto at = std::upper_bound(
            entries_.begin(), entries_.end(), readableAt,
            [](Clock::time_point time, const Entry& entry) { return time < entry.readableAt; });
        for (uint8_t byte : bytes) at = std::next(entries_.insert(at, Entry{byte, readableAt}));
    }
    pushed_.notify_all();
}

size_t TimedInput::DropArrived() {
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    const auto firstOnTheWay =
        std::find_if(entries_.begin(), entries_.end(),
                     [now](const Entry& entry) { return entry.readableAt > now; });
    const auto dropped = static_cast<size_t>(std::distance(entries_.begin(), firstOnTheWay));
    entries_.erase(entries_.begin(), firstOnTheWay);
    return dropped;
}

void TimedInput::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

size_t TimedInput::Pending() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

size_t TimedInput::Read(std::span<uint8_t> buffer, const CommTimeouts& timeouts) {
    const auto start = Clock::now();
    const auto total = TotalDeadline(start, timeouts, buffer.size());
    const auto interval = std::chrono::milliseconds(timeouts.readInterval);
    size_t received = 0;
    Clock::time_point lastArrival = start;
    // "More than the interval" between two bytes ends the read (counted after the first byte).
    auto endsTheRead = [&](Clock::time_point arrival, bool first) {
        return !first && interval.count() > 0 && arrival > lastArrival + interval;
    };

    std::unique_lock lock(mutex_);
    while (received < buffer.size()) {
        const auto now = Clock::now();
        while (received < buffer.size() && !entries_.empty() &&
               entries_.front().readableAt <= now) {
            if (endsTheRead(std::max(entries_.front().readableAt, start), received == 0)) {
                return received;
            }
            buffer[received++] = entries_.front().byte;
            lastArrival = std::max(entries_.front().readableAt, start);
            entries_.pop_front();
        }
        if (received == buffer.size()) break;
        if (received > 0 && interval.count() > 0 && now > lastArrival + interval) break;
        if (total && now >= *total) break;

        // Sleep once until the bytes still wanted have all arrived, as a driver wakes its reader,
        // or until the interval between two of them ends the read, or the total limit.
        std::optional<Clock::time_point> wake = total;
        auto earlier = [&wake](Clock::time_point time) {
            wake = wake ? std::min(*wake, time) : time;
        };
        Clock::time_point previous = lastArrival;
        bool first = received == 0;
        const size_t wanted = buffer.size() - received;
        size_t seen = 0;
        for (const Entry& entry : entries_) {
            const auto arrival = std::max(entry.readableAt, start);
            if (!first && interval.count() > 0 && arrival > previous + interval) {
                earlier(previous + interval);
                break;
            }
            previous = arrival;
            first = false;
            if (++seen == wanted) {
                earlier(arrival);
                break;
            }
        }
        if (seen < wanted && !first && interval.count() > 0 && seen == entries_.size()) {
            earlier(previous + interval);  // the last byte on its way, then silence
        }
        if (wake) {
            pushed_.wait_until(lock, *wake + std::chrono::microseconds(1));
        } else {
            pushed_.wait(lock);
        }
    }
    return received;
}

}  // namespace kelcmd::sim
